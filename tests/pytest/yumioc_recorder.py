"""A stand-in for the engine's callback module yumIOC, for running the
companion script outside the program.

Every callback is recorded as a tuple (name, *arguments). The arguments are
checked as the engine's argument parser checks them, and a mismatch raises
TypeError into the script, as the engine's parser would.
"""

calls = []

# Callback name -> the engine's format for it ("l"/"L" integer, "s" text,
# "O" any object).
FORMATS = {
    "stdoutWrite": "s",
    "stderrWrite": "s",
    "log": "ls",
    "errorlog": "ls",
    "collectProgress": "llO",
    "collectGrabMeterStart": "sssOO",
    "collectGrabMeterUpdate": "L",
    "collectGrabMeterEnd": "L",
    "applyGrabMeterStart": "OOOLO",
    "applyGrabMeterUpdate": "L",
    "applyGrabMeterEnd": "L",
}


def _check(name, fmt, args):
    if len(args) != len(fmt):
        raise TypeError("%s() takes exactly %d arguments (%d given)" % (name, len(fmt), len(args)))
    for index, (code, value) in enumerate(zip(fmt, args)):
        if code in "lL" and (not isinstance(value, int) or isinstance(value, bool)):
            raise TypeError("%s() argument %d must be int, not %s"
                            % (name, index + 1, type(value).__name__))
        if code == "s" and not isinstance(value, str):
            raise TypeError("%s() argument %d must be str, not %s"
                            % (name, index + 1, type(value).__name__))


def _callback(name, fmt):
    def callback(*args):
        _check(name, fmt, args)
        calls.append((name,) + args)
    callback.__name__ = name
    return callback


for _name, _fmt in FORMATS.items():
    globals()[_name] = _callback(_name, _fmt)


def reset():
    del calls[:]


def named(*names):
    """The recorded calls of the given callbacks, in order."""
    return [call for call in calls if call[0] in names]


def texts():
    """Every text the script handed over: log records and stream writes."""
    result = []
    for call in calls:
        if call[0] in ("log", "errorlog"):
            result.append(call[2])
        elif call[0] in ("stdoutWrite", "stderrWrite"):
            result.append(call[1])
        elif call[0] == "collectGrabMeterStart":
            result.extend(call[1:4])
    return result
