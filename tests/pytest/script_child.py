#!/usr/bin/python3
"""The companion script in a process of its own (locks, cleaning as another
user). Usage: script_child.py ROOT. One command a line on stdin, one JSON
answer a line on stdout ({"ok": true, "result": ...} or {"ok": false,
"error": CLASS, "text": TEXT}):
  call METHOD   METHOD() of the script's object
  drop TMPDIR   go on as user "nobody" (dnf keeps its lock files below TMPDIR)
  exit          end normally (exit handlers run); abort: SIGKILL itself
"""

import json
import os
import signal
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import script_support  # noqa: E402


def answer(**fields):
    sys.__stdout__.write(json.dumps(fields) + "\n")
    sys.__stdout__.flush()


def main(root):
    script = script_support.load_script()
    sys.argv = ["vux", "--installroot=%s" % root, "info"]
    yumio = script.YumIO()
    answer(ok=True, result="ready")
    for line in sys.stdin:
        command, *args = line.split()
        try:
            if command == "call":
                result = getattr(yumio, args[0])()
                answer(ok=True, result=list(result) if isinstance(result, tuple) else result)
            elif command == "drop":
                import dnf.const
                dnf.const.TMPDIR = args[0]
                os.setgid(65534)
                os.setuid(65534)
                answer(ok=True, result=os.geteuid())
            elif command == "exit":
                sys.exit(0)
            elif command == "abort":
                os.kill(os.getpid(), signal.SIGKILL)
        except Exception as error:
            answer(ok=False, error=type(error).__name__, text=str(error))


if __name__ == "__main__":
    main(sys.argv[1])
