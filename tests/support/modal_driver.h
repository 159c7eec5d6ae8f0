#pragma once
// Answers modal windows as the operator would, from inside their modal loops: every message box
// with OK (noting its text), and a dialog by the script queued for its objectName.

#include <QDialog>
#include <QHash>
#include <QObject>
#include <QQueue>
#include <QStringList>
#include <QTimer>
#include <functional>

class ModalDriver : public QObject {
public:
    ModalDriver();

    // The next time a dialog with this objectName is the active modal window, `script` runs with
    // it; the script closes the dialog itself (for example by clicking its OK button).
    void OnDialog(const QString& objectName, std::function<void(QDialog&)> script);
    // Scripts queued but not run yet.
    int PendingScripts() const;

    // Texts of the message boxes answered so far, oldest first; Take also forgets them.
    const QStringList& Messages() const { return messages_; }
    QStringList TakeMessages();
    // The objectNames of the same message boxes, which tell an error report from a warning.
    const QStringList& MessageBoxNames() const { return boxNames_; }

private:
    void Answer();

    QTimer poll_;
    QStringList messages_;
    QStringList boxNames_;
    QHash<QString, QQueue<std::function<void(QDialog&)>>> scripts_;
};

// Clicks the OK button ("BitBtn1") of a parameter dialog.
void ClickOk(QDialog& dialog);
