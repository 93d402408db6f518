// FilterBar: one check box per result category in a frame: "All", "Folder", then every file
// category of the settings. The boxes act as radio buttons (exactly one is checked); a click
// reports the box's index (0 all, 1 folders, 2 + n the settings' category n).
//
// The bar owns its boxes and the spacer after them: they are removed from the frame when the
// bar is destroyed, so a rebuilt bar never shows the old boxes beside the new ones. The frame
// gets a horizontal layout when it has none.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class QCheckBox;
class QFrame;
class QSpacerItem;
class Settings;

class FilterBar : public QObject
{
    Q_OBJECT
public:
    FilterBar(QFrame* frame, Settings* settings);
    ~FilterBar() override;

    void build();
    // The index of the first checked box; 0 when none is checked.
    int currentIndex() const;
    // Checks the box of `index`; an index that no box has (a saved index that outlived its
    // category) checks "All". Returns the index now checked. Emits nothing.
    int setCurrentIndex(int index);
    int count() const { return boxes.size(); }
    QCheckBox* box(int index) const { return index >= 0 && index < boxes.size() ? boxes.at(index) : nullptr; }
    void retranslate();

    // The label of a category name: the seven built-in names translated, any other unchanged.
    static QString label(const QString& name);

signals:
    void filterClicked(int index);

private:
    void onClicked(QCheckBox* box);

    QFrame* frame;
    Settings* settings;
    QList<QCheckBox*> boxes;
    QStringList names;
    QSpacerItem* spacer = nullptr;
};
