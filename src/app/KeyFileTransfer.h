#pragma once

#include <QCoreApplication>

#include "keys/KeyFile.h"

#include <QString>

#include <array>

class QWidget;

namespace vrx {

class FieldEdit;
class FileChooser;
class MessageBox;

// The window's key files: the 32 key fields read from and written to the file format vrxctl reads
// (keys/KeyFile.h). Every message goes through the window's MessageBox, every file name comes from
// its FileChooser.
class KeyFileTransfer {
    Q_DECLARE_TR_FUNCTIONS(vrx::KeyFileTransfer)
    // The file dialogs' filter.
    static QString Filter();

public:
    using KeyFields = std::array<FieldEdit *, 32>;

    KeyFileTransfer(const KeyFields &fields, MessageBox &messages, FileChooser &files, QWidget *parent)
        : m_fields(fields)
        , m_messages(messages)
        , m_files(files)
        , m_parent(parent) {}

    // Asks for a key file and checks all of it; only a good file then fills all 32 fields. A bad one
    // changes no field, and the message names the line and what is wrong.
    void Import();

    // Checks that every field holds 12 hexadecimal digits (naming the first that does not, in the
    // download's order), asks whether the keys may be written in clear, asks for the file, and writes
    // it atomically, readable and writable by its owner only.
    void Export();

    // The operator's words for what is wrong with a key file.
    static QString ProblemText(const KeyFileReading &reading);

private:
    QStringList FieldTexts() const;
    bool Write(const QString &path, const QByteArray &text);

    const KeyFields &m_fields;
    MessageBox &m_messages;
    FileChooser &m_files;
    QWidget *m_parent;
};

} // namespace vrx
