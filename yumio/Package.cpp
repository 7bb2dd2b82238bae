// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "yumio/Package.h"

// Entries are deleted by the GUI thread between operations, holding the
// interpreter lock (the engine's clear() and destructor); the chain is
// walked iteratively so that a long chain cannot exhaust the stack.
Package::Entry::~Entry()
{
    Py_XDECREF(object);
    Entry* chained = next;
    while (chained) {
        Entry* following = chained->next;
        chained->next = nullptr;
        delete chained;
        chained = following;
    }
}

QString const& Package::Entry::none()
{
    static QString const empty;
    return empty;
}

// Empty texts need no room of their own: the last one emptied gives it back.
void Package::Entry::setRare(QString Rare::*field, QString const& text)
{
    if (!rare) {
        if (text.isEmpty())
            return;
        rare = std::make_unique<Rare>();
    }
    (*rare).*field = text;
    if (rare->replacement.isEmpty() && rare->downgradeTo.isEmpty()
        && rare->downgradeVersion.isEmpty() && rare->heldAt.isEmpty())
        rare.reset();
}

Package::EntryList::~EntryList()
{
    deleteAll();
}

void Package::EntryList::deleteAll()
{
    for (Entry* entry : *this)
        delete entry;
    clear();
}

bool Package::allows(State state, Action action)
{
    switch (action) {
    case Update:
        return state == Updatable;
    case Install:
        return state == Available;
    case Remove:
    case Reinstall:
    case Downgrade:
        return state != Available;
    case None:
        break;
    }
    return true;
}

QString Package::shared(QSet<QString>& texts, QString const& text)
{
    auto const known = texts.constFind(text);
    if (known != texts.cend())
        return *known;
    texts.insert(text);
    return text;
}
