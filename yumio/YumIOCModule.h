// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

class YumIO;
struct _object;
typedef _object PyObject;

// The callback module "yumIOC" through which the companion script reports to
// the engine. Registered once per process; every callback is served by the
// engine operation of the same name on the engine given last.
namespace YumIOCModule {

// Makes the module importable and points its callbacks at the engine.
// Needs the interpreter lock. Returns false when the module cannot be made.
bool registerModule(YumIO* engine);

// Stops the callbacks from reaching an engine that is going away.
void detach(YumIO* engine);

// yumIOC.maskCredentials(text): text with the credentials in its URLs
// masked by the rule of everything the program shows (base/Credentials.h),
// for what the script writes itself (dnf's log files). Needs no engine.
PyObject* maskCredentials(PyObject* self, PyObject* args);

} // namespace YumIOCModule
