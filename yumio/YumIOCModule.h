// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

class YumIO;

// The callback module "yumIOC" through which the companion script reports to
// the engine. Registered once per process; every callback is served by the
// engine operation of the same name on the engine given last.
namespace YumIOCModule {

// Makes the module importable and points its callbacks at the engine.
// Needs the interpreter lock. Returns false when the module cannot be made.
bool registerModule(YumIO* engine);

// Stops the callbacks from reaching an engine that is going away.
void detach(YumIO* engine);

} // namespace YumIOCModule
