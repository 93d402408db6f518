#include "ui/search/FormState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

namespace {

const QLatin1String spinBoxLineEdit("qt_spinbox_lineedit");

void collectChildWidgets(const QWidget* parent, FormStateMap& state)
{
    const QObjectList& children = parent->children();
    for (QObject* child : children) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget)
            continue;
        const QString name = widget->objectName();
        if (!name.isEmpty() && name != spinBoxLineEdit) {
            if (auto* combo = qobject_cast<QComboBox*>(widget))
                state[name] = combo->currentText();
            else if (auto* check = qobject_cast<QCheckBox*>(widget))
                state[name] = check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
            else if (auto* edit = qobject_cast<QLineEdit*>(widget))
                state[name] = edit->text();
            else if (auto* date = qobject_cast<QDateEdit*>(widget))
                state[name] = QString::number(date->date().toJulianDay());
        }
        collectChildWidgets(widget, state);
    }
}

void applyCombo(QComboBox* combo, const QString& value, const QStringList& sources)
{
    if (combo->isEditable()) {
        combo->setEditText(value);
        return;
    }
    int index = combo->findText(value);
    if (index < 0) {
        const int source = sources.indexOf(value);
        if (source >= 0 && source < combo->count())
            index = source;
    }
    if (index >= 0)
        combo->setCurrentIndex(index);
}

} // namespace

void captureFormState(const QWidget* root, FormStateMap& state)
{
    state.clear();
    collectChildWidgets(root, state);
}

void applyFormState(QWidget* root, const FormStateMap& state, const QHash<QString, QStringList>& sourceTexts)
{
    for (auto it = state.constBegin(); it != state.constEnd(); ++it) {
        if (it.key().isEmpty())
            continue;
        QWidget* widget = root->findChild<QWidget*>(it.key());
        if (!widget)
            continue;
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            applyCombo(combo, it.value(), sourceTexts.value(it.key()));
        } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
            check->setChecked(it.value() == QLatin1String("1"));
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->setText(it.value());
        } else if (auto* date = qobject_cast<QDateEdit*>(widget)) {
            bool ok = false;
            const qint64 day = it.value().toLongLong(&ok);
            date->setDate(QDate::fromJulianDay(ok ? day : 0));
        }
    }
}
