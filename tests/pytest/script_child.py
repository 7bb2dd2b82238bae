#!/usr/bin/python3
"""The companion script in a process of its own, for the tests that need a
second process (locks, cleaning as another user).

Usage: script_child.py ROOT. Reads one command per line on stdin and answers
each with one JSON line on stdout:
  {"ok": true, "result": ...} or {"ok": false, "error": CLASS, "text": TEXT}

Commands:
  call METHOD       calls METHOD() of the script object
  clear             flush() and a new script object, as the engine's clear()
  pid               this process's id
  drop TMPDIR       continue as user "nobody" (dnf keeps that user's lock
                    files below TMPDIR instead of /var/tmp)
  dnflock KIND      enters dnf's own KIND lock (metadata, download, rpmdb),
                    as a dnf operation would, and stays inside it
  dnfunlock         leaves it
  exit              ends normally (exit handlers run)
  abort             kills itself with SIGKILL
"""

import json
import os
import signal
import sys
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import script_support  # noqa: E402

OUT = sys.stdout


def answer(**fields):
    OUT.write(json.dumps(fields) + "\n")
    OUT.flush()


def main(root):
    script = script_support.load_script()
    sys.argv = ["vux", "--installroot=%s" % root, "info"]
    yumio = script.YumIO()
    held = None
    answer(ok=True, result="ready")
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        command, args = words[0], words[1:]
        try:
            if command == "call":
                result = getattr(yumio, args[0])()
                if isinstance(result, tuple):
                    result = list(result)
                answer(ok=True, result=result)
            elif command == "clear":
                yumio.flush()
                yumio = script.YumIO()
                answer(ok=True, result=None)
            elif command == "pid":
                answer(ok=True, result=os.getpid())
            elif command == "drop":
                import dnf.const
                dnf.const.TMPDIR = args[0]
                os.setgid(65534)
                os.setuid(65534)
                answer(ok=True, result=os.geteuid())
            elif command == "dnflock":
                import dnf.lock
                build = getattr(dnf.lock, "build_%s_lock" % args[0])
                where = yumio.conf.persistdir if args[0] == "rpmdb" else yumio.conf.cachedir
                held = build(where, True)
                held.__enter__()
                answer(ok=True, result=held.target)
            elif command == "dnfunlock":
                held.__exit__(None, None, None)
                held = None
                answer(ok=True, result=None)
            elif command == "exit":
                sys.exit(0)
            elif command == "abort":
                os.kill(os.getpid(), signal.SIGKILL)
            else:
                answer(ok=False, error="UnknownCommand", text=command)
        except SystemExit:
            raise
        except BaseException as error:
            answer(ok=False, error=type(error).__name__, text=str(error),
                   traceback=traceback.format_exc())


if __name__ == "__main__":
    main(sys.argv[1])
