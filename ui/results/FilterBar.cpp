#include "ui/results/FilterBar.h"

#include "core/Settings.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QSpacerItem>

FilterBar::FilterBar(QFrame* host, Settings* userSettings)
    : frame(host)
    , settings(userSettings)
{
}

FilterBar::~FilterBar()
{
    qDeleteAll(boxes);
    if (spacer && frame && frame->layout()) {
        frame->layout()->removeItem(spacer);
        delete spacer;
    }
}

QString FilterBar::label(const QString& name)
{
    static const char* const builtIn[] = {
        QT_TRANSLATE_NOOP("FilterBar", "All"),     QT_TRANSLATE_NOOP("FilterBar", "Folder"),
        QT_TRANSLATE_NOOP("FilterBar", "Document"), QT_TRANSLATE_NOOP("FilterBar", "Executable"),
        QT_TRANSLATE_NOOP("FilterBar", "Picture"), QT_TRANSLATE_NOOP("FilterBar", "Music"),
        QT_TRANSLATE_NOOP("FilterBar", "Video")};
    for (const char* text : builtIn) {
        if (name == QLatin1String(text))
            return QCoreApplication::translate("FilterBar", text);
    }
    return name;
}

void FilterBar::build()
{
    if (!frame->layout()) {
        auto* layout = new QHBoxLayout(frame);
        layout->setContentsMargins(4, 2, 4, 2);
    }
    names = QStringList{QStringLiteral("All"), QStringLiteral("Folder")};
    if (settings) {
        const QList<FileCategory> categories = settings->fileCategories();
        for (const FileCategory& c : categories)
            names.append(c.name);
    }
    for (int i = 0; i < names.size(); ++i) {
        auto* box = new QCheckBox(frame);
        box->setProperty("id", i);
        box->setFocusPolicy(Qt::NoFocus);
        box->setText(label(names.at(i)));
        box->setChecked(i == 0);
        frame->layout()->addWidget(box);
        connect(box, &QCheckBox::clicked, this, [this, box]() { onClicked(box); });
        boxes.append(box);
    }
    spacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    frame->layout()->addItem(spacer);
}

int FilterBar::currentIndex() const
{
    for (QCheckBox* box : boxes) {
        if (box->isChecked())
            return box->property("id").toInt();
    }
    return 0;
}

int FilterBar::setCurrentIndex(int index)
{
    if (index < 0 || index >= boxes.size())
        index = 0;
    for (QCheckBox* box : qAsConst(boxes))
        box->setChecked(box->property("id").toInt() == index);
    return index;
}

void FilterBar::retranslate()
{
    for (int i = 0; i < boxes.size() && i < names.size(); ++i)
        boxes.at(i)->setText(label(names.at(i)));
}

void FilterBar::onClicked(QCheckBox* clicked)
{
    for (QCheckBox* box : qAsConst(boxes))
        box->setChecked(box == clicked);
    emit filterClicked(clicked->property("id").toInt());
}
