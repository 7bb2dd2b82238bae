"""Stand-in companion script whose class refuses to be created: it logs
why, as the real script does, and raises SystemExit from its constructor."""

import yumIOC


class YumIO(object):
    def __init__(self):
        yumIOC.errorlog(0, "Stand-in: the configuration cannot be used\n")
        raise SystemExit("stand-in refuses to start")
