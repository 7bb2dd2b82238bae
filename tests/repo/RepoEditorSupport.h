#pragma once
// A configuration for the repository editor's tests: unlike ConfFixture, its
// dialogs are answered only as a test queues it, since the editor's own
// dialogs are modal too.
#include "ConfSandbox.h"

struct EditorConf
{
    EditorConf()
        : conf(usedOptions, sessionUse)
    {
    }
    QList<YumRepoEnabled> usedOptions;
    QHash<QString, bool> sessionUse;
    YumConfIO conf;
    ModalAnswerer answerer;
};
