// placeholder, replaced as the library grows
