#pragma once
// The stream of a grid layout file: a file stream on a named file that writes a list of objects
// as records of the toolkit's component stream, one TObjectWrapper record per object, numbered
// from "0" in list order in the wrapper's CurrentClassName.
//
// Each save writes from the start of the file and ends the file where the records end, so the
// file holds exactly the records of the last save, also when an earlier save left a longer file.
#include "platform/ui/file_stream.h"
#include "platform/ui/persistent.h"

#include <QList>

class QObject;

// One object of the list SaveObjects writes: a persistent object (a grid's columns), or a
// component, written as a reference to it by name.
class TSavedObject {
public:
    TSavedObject(const TPersistent* persistent) : m_persistent(persistent) {}
    TSavedObject(const QObject* component) : m_component(component) {}

    const TPersistent* persistent() const { return m_persistent; }
    const QObject* component() const { return m_component; }

private:
    const TPersistent* m_persistent = nullptr;
    const QObject* m_component = nullptr;
};

class TCustomFileStraam : public ui::FileStream {
public:
    // Opens the file for reading and writing when it exists, creates it otherwise. A file that
    // can be neither opened nor created throws ui::StreamError.
    explicit TCustomFileStraam(const QString& fileName);

    // Writes the objects from the start of the file and truncates the file after the last
    // record. False when the writing failed (the file then holds what was written until then);
    // nothing is shown to the person either way.
    bool SaveObjects(const QList<TSavedObject>& objects);
};
