#pragma once

// Drives the "查找读卡器" dialog of a real window as the operator does, beside simulated readers on
// loopback addresses of the test's own.
#include "MessageRecorder.h"
#include "SimulatedReader.h"
#include "app/FindReaders.h"
#include "app/Form1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>
#include <vector>

class FindReadersDriver {
public:
    // `files`, when given, names the files the window asks for.
    explicit FindReadersDriver(const QString &computer, vrx::FileChooser *files = nullptr) {
        form =
            files ? std::make_unique<vrx::Form1>(messages, *files) : std::make_unique<vrx::Form1>(messages);
        form->TextPCIP->setText(computer);
        messages.shown.clear();
    }

    // A simulated reader at `address`, its settings changed by `change`.
    bool addReader(const QString &address, const std::function<void(vrx::ReaderSettings &)> &change = {},
                   QString *error = nullptr) {
        auto reader = std::make_unique<vrx::SimulatedReader>(address);
        if (change) {
            vrx::ReaderSettings settings = reader->settings();
            change(settings);
            reader->setSettings(settings);
        }
        if (!reader->start(error))
            return false;
        readers.push_back(std::move(reader));
        return true;
    }

    vrx::FindReaders &dialog() {
        if (!form->FindReadersDialog || !form->FindReadersDialog->isVisible())
            form->ShowFindReaders();
        return *form->FindReadersDialog;
    }

    // Types the range and clicks 扫描; the scan runs on in the event loop.
    void startScan(const QString &range) {
        vrx::FindReaders &find = dialog();
        find.TextRange->clear();
        QTest::keyClicks(find.TextRange, range);
        QTest::mouseClick(find.CommandScan, Qt::LeftButton);
    }

    bool waitUntilDone(int timeoutMs = 20000) {
        return QTest::qWaitFor([this] { return !form->FindReadersDialog->Searching(); }, timeoutMs);
    }

    QStringList rowTexts(int row) {
        QStringList texts;
        QTableWidget *table = dialog().TableReaders;
        for (int column = 0; column < table->columnCount(); ++column)
            texts << (table->item(row, column) ? table->item(row, column)->text() : QStringLiteral("<none>"));
        return texts;
    }
    QList<QStringList> rows() {
        QList<QStringList> all;
        for (int row = 0; row < dialog().TableReaders->rowCount(); ++row)
            all << rowTexts(row);
        return all;
    }
    int rowOf(const QString &address) {
        for (int row = 0; row < dialog().TableReaders->rowCount(); ++row)
            if (rowTexts(row).value(0) == address)
                return row;
        return -1;
    }

    // Every query the readers received, from any address.
    int queriesReceived() const {
        int count = 0;
        for (const auto &reader : readers)
            count += int(reader->received().size());
        return count;
    }

    MessageRecorder messages;
    std::unique_ptr<vrx::Form1> form;
    std::vector<std::unique_ptr<vrx::SimulatedReader>> readers;
};
