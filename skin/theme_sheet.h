#pragma once
#include <QString>

namespace tomeferry::skin {

// A quiet blue-grey theme: light window faces, white lists and fields, one accent colour.
QString themeSheet();

}  // namespace tomeferry::skin
