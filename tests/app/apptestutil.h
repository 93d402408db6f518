// Helpers shared by the shell tests: executable stand-in scripts and answering our own
// question boxes.
#pragma once

#include "testutil.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

namespace apptest {

// Writes an executable script (mode 0755).
inline void writeScript(const QString& path, const QByteArray& text)
{
    QVERIFY(testutil::writeFile(path, text));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0755) == 0);
}

// Answers the next question box with `button` once it shows up.
inline void answerNextQuestion(QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, [button] {
        const QWidgetList widgets = QApplication::topLevelWidgets();
        for (QWidget* widget : widgets) {
            if (auto* box = qobject_cast<QMessageBox*>(widget)) {
                if (box->isVisible()) {
                    box->button(button)->click();
                    return;
                }
            }
        }
        answerNextQuestion(button);
    });
}

} // namespace apptest
