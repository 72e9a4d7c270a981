#!/usr/bin/env python3
"""Time from spawning the program to its main window being mapped, on a virtual display.

  page      a loopback notice page naming the installed versions: two fetches, no dialog,
            no message
  no server nothing listens at the notice address: both fetches are refused at once

Runs alternate between the two so that drift of the machine hits both alike. Prints the
medians and their ratio. The script starts itself again under xvfb-run.
"""
import argparse
import http.server
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

MAIN_TITLE = "Tomeferry V4.0"
PROGRAM_VERSION, CATALOGUE_VERSION = "4.0", "15"


def gbk(text):
    return text.encode("gbk")


def notice_page(port):
    return gbk("<html><body>版本 qwer%sqwer 下载 qwerhttp://127.0.0.1:%d/download.htmlqwer "
               "书库 qwer%sqwer 包 qwerhttp://127.0.0.1:%d/package.binqwer</body></html>"
               % (PROGRAM_VERSION, port, CATALOGUE_VERSION, port))


class NoticeServer:
    def __init__(self, port):
        page = notice_page(port)
        self.fetches = 0
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                outer.fetches += 1
                self.send_response(200)
                self.send_header("Content-Length", str(len(page)))
                self.end_headers()
                self.wfile.write(page)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def make_program_dir(root, args):
    os.makedirs(os.path.join(root, "data"))
    program = os.path.join(root, "tomeferry")
    shutil.copyfile(args.program, program)
    os.chmod(program, 0o755)
    shutil.copyfile(args.skin, os.path.join(root, os.path.basename(args.skin)))
    shutil.copyfile(args.catalogue, os.path.join(root, "data", "db1.mdb"))
    with open(os.path.join(root, "ini.ini"), "wb") as ini:
        ini.write(gbk("[配置]\r\n版本=%s\r\n库版本=%s\r\n" % (PROGRAM_VERSION, CATALOGUE_VERSION)))
    return program


def main_window_mapped():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % MAIN_TITLE],
                           capture_output=True, text=True)
    return found.stdout.split()


def one_start(program, env, output):
    """Seconds from spawn to the mapped main window; then the window is closed with Esc."""
    output.seek(0)
    output.truncate()
    start = time.monotonic()
    process = subprocess.Popen([program], env=env, stdout=output, stderr=subprocess.STDOUT)
    try:
        while True:
            windows = main_window_mapped()
            if windows:
                elapsed = time.monotonic() - start
                break
            if process.poll() is not None:
                raise RuntimeError("the program ended with code %d before its window showed:\n%s"
                                   % (process.returncode, read_output(output)))
            if time.monotonic() - start > 60:
                raise RuntimeError("no main window within 60 s")
            time.sleep(0.005)
        subprocess.run(["xdotool", "windowfocus", "--sync", windows[0], "key", "Escape"],
                       capture_output=True)
        process.wait(timeout=10)
        return elapsed
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


def read_output(output):
    output.seek(0)
    return output.read().decode("utf-8", "replace")


def run(args):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", no_proxy="127.0.0.1,localhost")
    for name in ("http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"):
        env.pop(name, None)
    with tempfile.TemporaryDirectory(prefix="tomeferry-bench-") as root:
        program = make_program_dir(root, args)
        output = open(os.path.join(root, "output.txt"), "w+b")
        one_start(program, env, output)  # warm the file cache and the fonts
        times = {"page": [], "no server": []}
        fetches = 0
        for _ in range(args.runs):
            server = NoticeServer(args.port)
            try:
                times["page"].append(one_start(program, env, output))
            finally:
                server.close()
            fetches += server.fetches
            times["no server"].append(one_start(program, env, output))

    print("start-up to the mapped main window, %d runs each (seconds)" % args.runs)
    for name, values in times.items():
        print("  %-10s median %.3f   min %.3f   max %.3f" % (
            name, statistics.median(values), min(values), max(values)))
    print("  ratio page / no server: %.2f" % (
        statistics.median(times["page"]) / statistics.median(times["no server"])))
    print("  notice page fetched %d times in %d runs" % (fetches, args.runs))
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--skin", required=True)
    parser.add_argument("--catalogue", required=True)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    if os.environ.get("TOMEFERRY_BENCH_DISPLAY") != "1":
        env = dict(os.environ, TOMEFERRY_BENCH_DISPLAY="1")
        # -noreset: a server that resets when its last client leaves refuses the next
        # program that connects during the reset.
        return subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -noreset", sys.executable,
                               os.path.abspath(__file__), *sys.argv[1:]], env=env).returncode
    return run(args)


if __name__ == "__main__":
    sys.exit(main())
