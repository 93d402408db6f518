// OptionsDialog: the modal settings dialog of the main window. Four pages chosen from the list on
// the left: "General" (start at login, run in background, the folder context-menu entry, the
// prompt-free elevation task, saving all tabs, clearing the search histories), "Indexing" (the
// file database folder, the indexed volumes, the exclude paths, automatic indexing of new
// volumes; a notice instead when the process is not root), "Search" (the content-search
// options) and "File handlers" (OptionsPageFilters).
//
// Everything is written only when OK is pressed, in one pass; clearing the histories and the
// folder chosen with "Browse..." (remembered as the dialog folder) act at once. Cancel writes
// nothing else. The pages are read from the settings, the desktop and the engine when the
// dialog is first shown (or at OK when it never was), not in the constructor.
//
// Decisions of this implementation:
// - Volumes are shown by mount point (column "Volume"). A volume chosen for indexing (or kept
//   from automatic indexing) that is not mounted now keeps its place in the lists; serial 0
//   (a volume whose serial could not be read) is never stored.
// - The file database folder is compared in its clean form and stored so; an empty or relative
//   folder, or one inside the old folder (or holding it), is refused with a message and the
//   dialog stays open. Moving it removes only the old index files (IndexFolder).
// - The folder entry is changed only when its box changed, the prompt-free task only when its
//   box changed. Not being root, the folder entry is changed by the program started with root
//   rights ("-enable-shell-integration" / "-disable-shell-integration"); the password prompt
//   of that start runs away from the GUI thread and is not awaited.
// - Each step of OK that fails (an entry that cannot be written, a task that cannot be made, a
//   folder that cannot be cleaned) is logged; the other steps still run, and one message tells
//   the user what was not applied.
// - The index settings are written only when the Indexing page was loaded (root and an engine
//   with an index).
// - The volumes of the Indexing page are read from the mount table once, on a thread of their
//   own ("Reading volumes..." meanwhile); the dialog never waits for them. Each row shows the
//   engine's state of the volume (indexed, walked and why, failed and why), followed live. OK
//   pressed before the list has come keeps every volume's stored choice.
// - The exclude table selects one row; "Add" appends a row and opens its editor, "Remove"
//   removes the selected row (nothing without one); an editor still open at OK is committed.
//
// Log tag: "OptionsDialog".
#pragma once

#include "platform/VolumeLayer.h"
#include "ui/options/OptionsEnvironment.h"

#include <QDialog>

#include <functional>

class ExcludePathModel;
class FileSearcher;
class OptionsPageFilters;
class Prompter;
class QLabel;
class Settings;
class VolumeListModel;

namespace Ui {
class OptionsDialog;
class OptionsGeneral;
class OptionsIndexing;
class OptionsSearch;
}

class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    enum Page { GeneralPage = 0, IndexingPage = 1, SearchPage = 2, FiltersPage = 3 };

    // `clearSearchHistories` empties the four search histories (contents, file names, paths,
    // instant-search file names, in that order); it may be empty.
    OptionsDialog(QWidget* parent, FileSearcher* searcher, int initialRow, Settings* settings,
                  Prompter* prompter, std::function<void()> clearSearchHistories = {},
                  const OptionsEnvironment& environment = OptionsEnvironment());
    ~OptionsDialog() override;

    // Reads every page (done when the dialog is first shown).
    void loadPages();
    bool pagesLoaded() const { return loaded_; }
    bool indexingPageLoaded() const { return indexingLoaded_; }
    // The volume list has come from the mount table (or its reading failed).
    bool volumesLoaded() const { return volumesLoaded_; }

    OptionsPageFilters* filtersPage() const { return filtersPage_; }
    VolumeListModel* volumeModel() const { return volumeModel_; }
    ExcludePathModel* excludeModel() const { return excludeModel_; }

public slots:
    void onListItemChanged(int row);
    void onAccept();
    void onClearHistory();
    void onBrowseDBPath();
    void addExcludePathRow();
    void removeExcludePathRow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createPages();
    void loadGeneralPage();
    void loadIndexingPage();
    void loadSearchPage();
    // Reads the volumes away from the GUI thread; onVolumesRead receives them.
    void readVolumes();
    void onVolumesRead(const QList<VolumeDescription>& volumes, const QString& error);
    // The engine's states and counts into the volume rows (no I/O).
    void refreshVolumeStates();
    bool skipUacOffered() const;
    // The refusal message for a new database folder, empty when it may be used.
    QString checkDbPath() const;
    // What the user is told when the program could not change the folder command as root.
    static QString shellIntegrationFailure(bool started, int exitCode, const QString& argument);
    void applyShellIntegration(bool enable, QStringList& failures);
    void applyIndexing(QStringList& failures);

    Ui::OptionsDialog* ui;
    Ui::OptionsGeneral* general;
    Ui::OptionsIndexing* indexing;
    Ui::OptionsSearch* search;
    OptionsPageFilters* filtersPage_ = nullptr;
    QWidget* noAdminNotice = nullptr;
    VolumeListModel* volumeModel_ = nullptr;
    ExcludePathModel* excludeModel_ = nullptr;

    FileSearcher* searcher_;
    Settings* settings_;
    Prompter* prompter_;
    std::function<void()> clearSearchHistories_;
    OptionsEnvironment env_;
    bool isAdmin;
    bool shellIntegratedAtLoad = false;
    bool skipUacAtLoad = false;
    bool loaded_ = false;
    bool indexingLoaded_ = false;
    bool volumesLoaded_ = false;
    QList<VolumeDescription> volumeDescriptions_;
    QString dbPathAtLoad;
};
