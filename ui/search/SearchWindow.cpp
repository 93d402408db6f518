#include "ui/search/SearchWindow.h"

#include "core/Settings.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/MaskList.h"
#include "ui/common/Prompter.h"
#include "ui/common/UiResources.h"
#include "ui/dialogs/SelectFileNamesDialog.h"
#include "ui/dialogs/SelectPathsDialog.h"
#include "ui/search/ExpressionFieldActions.h"
#include "ui/search/RichComboBox.h"
#include "ui/search/SearchFieldModel.h"

#include "ui_SearchWindow.h"

#include <QCompleter>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpressionValidator>

#include <limits>

namespace {

const QString listButtonText = QStringLiteral("...");

// The untranslated item texts of the form's fixed lists, for states saved under another
// language (they must stay the form's own source texts).
QHash<QString, QStringList> comboSourceTexts()
{
    const QStringList types{QStringLiteral("Substring"), QStringLiteral("Whole word"), QStringLiteral("Regex"),
                            QStringLiteral("Boolean")};
    return {{QStringLiteral("fileNameFormatComboBox"), types},
            {QStringLiteral("contentsFormatComboBox"), types},
            {QStringLiteral("contentsScopeComboBox"), {QStringLiteral("File"), QStringLiteral("Line")}},
            {QStringLiteral("sizeComboBox"),
             {QStringLiteral("B"), QStringLiteral("KB"), QStringLiteral("MB"), QStringLiteral("GB")}}};
}

struct HistoryArray
{
    const char* group;
    SearchFieldModel* (*model)();
};

const HistoryArray historyArrays[] = {
    {"FileNameHistory", &SearchFieldModel::fileNameHistory},
    {"PathHistory", &SearchFieldModel::pathHistory},
    {"ContentHistory", &SearchFieldModel::contentsHistory},
    {"InstantFileNameHistory", &SearchFieldModel::instantFileNameHistory},
};

} // namespace

SearchWindow::SearchWindow(Settings* settings, Prompter* prompter, QWidget* parent, const QString& path)
    : QWidget(parent)
    , ui(new Ui::SearchWindow)
    , settings_(settings)
    , prompter_(prompter)
{
    initUiResources();
    ui->setupUi(this);

    attachModel(ui->fileNameComboBox, SearchFieldModel::fileNameHistory());
    ui->fileNameComboBox->setCompleter(nullptr);
    ui->fileNameFormatComboBox->setCurrentIndex(0);
    attachModel(ui->directoryComboBox, SearchFieldModel::pathHistory());
    if (!path.isEmpty()) {
        ui->directoryCheckBox->setChecked(true);
        ui->directoryComboBox->setEditText(path);
    }
    attachModel(ui->contentsComboBox, SearchFieldModel::contentsHistory());
    ui->contentsComboBox->setCompleter(nullptr);
    ui->contentsFormatComboBox->setCurrentIndex(0);

    if (settings_->value(Settings::AutoCompletePath).toBool()) {
        auto* completer = new QCompleter(this);
        auto* folders = new QFileSystemModel(completer);
        folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
        folders->setRootPath(QString());
        completer->setModel(folders);
        completer->setCaseSensitivity(Qt::CaseSensitive);
        ui->directoryComboBox->lineEdit()->setCompleter(completer);
    } else {
        ui->directoryComboBox->setCompleter(nullptr);
    }

    const int h = ui->directoryComboBox->sizeHint().height();
    for (QPushButton* button : {ui->selectNamesButton, ui->selectPathsButton, ui->selectContentsButton})
        button->setFixedSize(h, h);

    // The form's width is the user's (the dock's): no field asks for more room than a few
    // characters, so neither opening a section nor a long history entry widens the form.
    for (QComboBox* box : {static_cast<QComboBox*>(ui->fileNameComboBox), ui->directoryComboBox,
                           static_cast<QComboBox*>(ui->contentsComboBox)}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(8);
    }
    for (QLineEdit* edit : {ui->minSizeLineEdit, ui->maxSizeLineEdit}) {
        QSizePolicy policy = edit->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Ignored);
        edit->setSizePolicy(policy);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 8);
    }
    for (QLabel* dash : {ui->sizeLabel, ui->dateLabel})
        dash->setSizePolicy(QSizePolicy::Fixed, dash->sizePolicy().verticalPolicy());

    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    ui->minSizeLineEdit->setValidator(new QRegularExpressionValidator(digits, ui->minSizeLineEdit));
    ui->maxSizeLineEdit->setValidator(new QRegularExpressionValidator(digits, ui->maxSizeLineEdit));

    ui->showAdvancedCheckBox->setChecked(settings_->value(Settings::ShowAdvancedOptions).toBool());
    ui->progressBar->hide();
    for (Field field : {NameField, FolderField, ContentsField})
        errorLabel(field)->installEventFilter(this);
    connectSignals();
    updateControls();
    fixMinimumWidth();
}

SearchWindow::~SearchWindow()
{
    delete ui;
}

void SearchWindow::attachModel(QComboBox* combo, SearchFieldModel* model)
{
    const QString text = combo->currentText();
    combo->setModel(model);
    combo->setEditText(text);
}

void SearchWindow::connectSignals()
{
    connect(ui->fileNameComboBox->lineEdit(), &QLineEdit::textChanged, this, &SearchWindow::fileNameChanged);
    // An error shown at a field goes once its text is changed.
    for (Field field : {NameField, FolderField, ContentsField}) {
        connect(fieldBox(field), &QComboBox::editTextChanged, this, [this, field]() {
            errorLabel(field)->clear();
            errorLabel(field)->hide();
        });
    }
    const auto indexChanged = QOverload<int>::of(&QComboBox::currentIndexChanged);
    connect(ui->fileNameFormatComboBox, indexChanged, this, &SearchWindow::updateControls);
    connect(ui->directoryCheckBox, &QCheckBox::clicked, this, &SearchWindow::updateControls);
    connect(ui->contentsCheckBox, &QCheckBox::clicked, this, &SearchWindow::updateControls);
    connect(ui->contentsFormatComboBox, indexChanged, this, &SearchWindow::updateControls);
    connect(ui->showAdvancedCheckBox, &QCheckBox::clicked, this, &SearchWindow::updateControls);
    connect(ui->findButton, &QPushButton::clicked, this, &SearchWindow::findClicked);

    SearchFieldModel* names = SearchFieldModel::fileNameHistory();
    connect(names, &QAbstractItemModel::modelAboutToBeReset, this, &SearchWindow::onFileNameModelAboutToBeReset);
    connect(names, &QAbstractItemModel::modelReset, this, &SearchWindow::onFileNameModelReset);
    SearchFieldModel* paths = SearchFieldModel::pathHistory();
    connect(paths, &QAbstractItemModel::modelAboutToBeReset, this, &SearchWindow::onFilePathModelAboutToBeReset);
    connect(paths, &QAbstractItemModel::modelReset, this, &SearchWindow::onFilePathModelReset);
    SearchFieldModel* contents = SearchFieldModel::contentsHistory();
    connect(contents, &QAbstractItemModel::modelAboutToBeReset, this,
            &SearchWindow::onFileContentModelAboutToBeReset);
    connect(contents, &QAbstractItemModel::modelReset, this, &SearchWindow::onFileContentModelReset);
}

qint64 SearchWindow::sizeInBytes(const QString& text, int unitIndex)
{
    if (text.isEmpty())
        return -1;
    const qint64 max = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        const int digit = c.unicode() - '0';
        value = value > (max - digit) / 10 ? max : value * 10 + digit;
    }
    const int shift = 10 * qBound(0, unitIndex, 3);
    return value > (max >> shift) ? max : value << shift;
}

void SearchWindow::searchParams(FileSearchRequest& request) const
{
    request.fileName = ui->fileNameComboBox->currentText();
    request.nameSyntax = ui->fileNameFormatComboBox->currentIndex();
    request.nameCase = ui->caseSensitiveNameCheckBox->isChecked();

    const QString folders = ui->directoryComboBox->currentText();
    if (ui->directoryCheckBox->isChecked() && !folders.isEmpty()) {
        parseMaskList(folders, &request.includePaths, &request.excludePaths);
        if (ui->showAdvancedCheckBox->isChecked())
            request.includeSubfolders = ui->includeSubfoldersCheckBox->isChecked();
    }

    const QString contents = ui->contentsComboBox->currentText();
    if (ui->contentsCheckBox->isChecked() && !contents.isEmpty()) {
        request.contents = contents;
        request.contentsSyntax = ui->contentsFormatComboBox->currentIndex();
        request.contentsCase = ui->caseSensitiveContentsCheckBox->isChecked();
        request.lineScope = ui->contentsScopeComboBox->currentIndex() == 1;
    }

    if (ui->dateCheckBox->isChecked()) {
        request.minDate = ui->minDateEdit->date();
        request.maxDate = ui->maxDateEdit->date();
    }

    if (ui->sizeCheckBox->isChecked()) {
        const int unit = ui->sizeComboBox->currentIndex();
        request.minSize = sizeInBytes(ui->minSizeLineEdit->text(), unit);
        request.maxSize = sizeInBytes(ui->maxSizeLineEdit->text(), unit);
    }
}

void SearchWindow::addToHistory()
{
    SearchFieldModel::fileNameHistory()->addEntry(ui->fileNameComboBox->currentText());
    if (ui->directoryCheckBox->isChecked())
        SearchFieldModel::pathHistory()->addEntry(ui->directoryComboBox->currentText());
    if (ui->contentsCheckBox->isChecked())
        SearchFieldModel::contentsHistory()->addEntry(ui->contentsComboBox->currentText());
}

void SearchWindow::loadHistory(Settings* settings)
{
    for (const HistoryArray& array : historyArrays)
        array.model()->setEntries(settings->readStringArray(QLatin1String(array.group)));
}

void SearchWindow::saveHistory(Settings* settings)
{
    for (const HistoryArray& array : historyArrays)
        settings->writeStringArray(QLatin1String(array.group), array.model()->entries().mid(0, MaxSavedHistory));
}

void SearchWindow::captureState(FormStateMap& state) const
{
    captureFormState(this, state);
}

void SearchWindow::applyState(const FormStateMap& state)
{
    for (Field field : {NameField, FolderField, ContentsField}) {
        errorLabel(field)->clear();
        errorLabel(field)->hide();
    }
    if (state.isEmpty())
        return;
    static const QHash<QString, QStringList> sources = comboSourceTexts();
    applyFormState(this, state, sources);
    updateControls();
}

QList<QWidget*> SearchWindow::sectionWidgets() const
{
    return {ui->directoryComboBox, ui->selectPathsButton, ui->includeSubfoldersCheckBox, ui->contentsComboBox,
            ui->selectContentsButton, ui->caseSensitiveContentsCheckBox, ui->contentsTypeLabel,
            ui->contentsFormatComboBox, ui->contentsScopeLabel, ui->contentsScopeComboBox, ui->minDateEdit,
            ui->maxDateEdit, ui->dateLabel, ui->minSizeLineEdit, ui->maxSizeLineEdit, ui->sizeComboBox,
            ui->sizeLabel, ui->advancedNameFrame, ui->advancedPathFrame, ui->advancedContentFrame};
}

void SearchWindow::fixMinimumWidth()
{
    // Measured with every section shown (a hidden widget takes no room in a layout), the size
    // caches of every nested layout renewed, then the sections put back as they were.
    setMinimumWidth(0);
    const QList<QWidget*> sections = sectionWidgets();
    QList<QWidget*> hidden;
    for (QWidget* w : sections) {
        if (w->isHidden()) {
            hidden << w;
            w->setVisible(true);
        }
    }
    const auto renewSizes = [this] {
        const QList<QWidget*> all = findChildren<QWidget*>();
        for (int i = all.size() - 1; i >= 0; --i)
            all.at(i)->updateGeometry();
        for (QLayout* l : findChildren<QLayout*>())
            l->invalidate();
    };
    renewSizes();
    const int width = layout()->minimumSize().width();
    for (QWidget* w : hidden)
        w->setVisible(false);
    renewSizes();
    setMinimumWidth(width);
}

void SearchWindow::updateControls()
{
    const bool folders = ui->directoryCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ui->directoryComboBox, ui->selectPathsButton,
                                                      ui->includeSubfoldersCheckBox})
        w->setVisible(folders);

    const bool contents = ui->contentsCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ui->contentsComboBox, ui->selectContentsButton,
                                                      ui->caseSensitiveContentsCheckBox, ui->contentsTypeLabel,
                                                      ui->contentsFormatComboBox, ui->contentsScopeLabel,
                                                      ui->contentsScopeComboBox})
        w->setVisible(contents);

    const bool dates = ui->dateCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ui->minDateEdit, ui->maxDateEdit, ui->dateLabel})
        w->setVisible(dates);

    const bool sizes = ui->sizeCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ui->minSizeLineEdit, ui->maxSizeLineEdit,
                                                      ui->sizeComboBox, ui->sizeLabel})
        w->setVisible(sizes);

    const bool advanced = ui->showAdvancedCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ui->advancedNameFrame, ui->advancedPathFrame,
                                                      ui->advancedContentFrame})
        w->setVisible(advanced);

    ui->fileNameErrorLabel->setVisible(!ui->fileNameErrorLabel->text().isEmpty());
    ui->directoryErrorLabel->setVisible(folders && !ui->directoryErrorLabel->text().isEmpty());
    ui->contentsErrorLabel->setVisible(contents && !ui->contentsErrorLabel->text().isEmpty());

    updateExpressionHighlighting(ui->selectNamesButton, ui->fileNameComboBox,
                                 ui->fileNameFormatComboBox->currentIndex() == FileSearchRequest::Boolean && advanced);
    updateExpressionHighlighting(ui->selectContentsButton, ui->contentsComboBox,
                                 ui->contentsFormatComboBox->currentIndex() == FileSearchRequest::Boolean && advanced);
}

void SearchWindow::updateExpressionHighlighting(QPushButton* button, RichComboBox* field, bool boolean)
{
    // One format at most: cleared before it is set, however often the controls are updated.
    field->setBoldOperators(boolean, font());
    button->setIcon(boolean ? QIcon(QStringLiteral(":/images/LeftArrow.svg")) : QIcon());
    button->setText(boolean ? QString() : listButtonText);
}

void SearchWindow::reset()
{
    clearFieldErrors();
    ui->fileNameComboBox->setEditText(QString());
    ui->directoryComboBox->setEditText(QString());
    ui->contentsComboBox->setEditText(QString());
    ui->fileNameFormatComboBox->setCurrentIndex(0);
    ui->contentsFormatComboBox->setCurrentIndex(0);
    for (QCheckBox* box : {ui->caseSensitiveNameCheckBox, ui->directoryCheckBox, ui->contentsCheckBox,
                           ui->caseSensitiveContentsCheckBox, ui->dateCheckBox, ui->sizeCheckBox})
        box->setChecked(false);
    ui->minDateEdit->clear();
    ui->maxDateEdit->clear();
    ui->sizeComboBox->setCurrentIndex(1);
    ui->minSizeLineEdit->clear();
    ui->maxSizeLineEdit->clear();
    updateControls();
}

QString SearchWindow::fileName() const
{
    return ui->fileNameComboBox->currentText();
}

void SearchWindow::setFindButtonText(const QString& text)
{
    findButtonRole_ = CustomRole;
    ui->findButton->setText(text);
}

QLabel* SearchWindow::errorLabel(Field field) const
{
    switch (field) {
    case FolderField:
        return ui->directoryErrorLabel;
    case ContentsField:
        return ui->contentsErrorLabel;
    default:
        return ui->fileNameErrorLabel;
    }
}

QComboBox* SearchWindow::fieldBox(Field field) const
{
    switch (field) {
    case FolderField:
        return ui->directoryComboBox;
    case ContentsField:
        return ui->contentsComboBox;
    default:
        return ui->fileNameComboBox;
    }
}

void SearchWindow::fitHeight(QLabel* label)
{
    // A wrapped label in the form's nested layouts would otherwise keep the height of one line.
    label->setMinimumHeight(label->text().isEmpty() ? 0 : label->heightForWidth(label->width()));
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        if (auto* label = qobject_cast<QLabel*>(watched))
            fitHeight(label);
    return QWidget::eventFilter(watched, event);
}

void SearchWindow::showFieldError(Field field, const QString& message, int position, int length)
{
    errorLabel(field)->setText(message);
    updateControls();
    fitHeight(errorLabel(field));
    QLineEdit* edit = fieldBox(field)->lineEdit();
    if (edit && position >= 0) {
        edit->setFocus();
        edit->setSelection(position, length);
    }
}

void SearchWindow::clearFieldErrors()
{
    for (Field field : {NameField, FolderField, ContentsField}) {
        errorLabel(field)->clear();
        errorLabel(field)->hide();
    }
}

void SearchWindow::setFindButtonRole(FindButtonRole role)
{
    findButtonRole_ = role;
    if (role != CustomRole)
        ui->findButton->setText(findButtonRoleText());
}

QString SearchWindow::findButtonRoleText() const
{
    switch (findButtonRole_) {
    case CancelRole:
        return tr("Cancel");
    case DoneRole:
        return tr("Done");
    default:
        return tr("Search");
    }
}

void SearchWindow::setProgress(int total, int checked)
{
    // The range first: a value above the old maximum would be refused.
    ui->progressBar->setRange(0, total);
    ui->progressBar->setValue(checked);
    ui->progressBar->show();
}

void SearchWindow::hideProgress()
{
    ui->progressBar->hide();
}

void SearchWindow::setSizeHint(const QSize& size)
{
    sizeHint_ = size;
}

QSize SearchWindow::sizeHint() const
{
    return sizeHint_.isValid() ? sizeHint_ : QWidget::sizeHint();
}

void SearchWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return) {
        emit ui->findButton->clicked(false);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SearchWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        fileNameText_ = ui->fileNameComboBox->currentText();
        pathText_ = ui->directoryComboBox->currentText();
        contentsText_ = ui->contentsComboBox->currentText();
        nameTypeIndex_ = ui->fileNameFormatComboBox->currentIndex();
        contentsTypeIndex_ = ui->contentsFormatComboBox->currentIndex();
        sizeUnitIndex_ = ui->sizeComboBox->currentIndex();
        const int scopeIndex = ui->contentsScopeComboBox->currentIndex();
        const QString findText = ui->findButton->text();

        ui->retranslateUi(this);

        ui->fileNameComboBox->setEditText(fileNameText_);
        ui->directoryComboBox->setEditText(pathText_);
        ui->contentsComboBox->setEditText(contentsText_);
        ui->fileNameFormatComboBox->setCurrentIndex(nameTypeIndex_);
        ui->contentsFormatComboBox->setCurrentIndex(contentsTypeIndex_);
        ui->sizeComboBox->setCurrentIndex(sizeUnitIndex_);
        ui->contentsScopeComboBox->setCurrentIndex(scopeIndex);
        ui->findButton->setText(findButtonRole_ == CustomRole ? findText : findButtonRoleText());
        updateControls();
        fixMinimumWidth();
    }
    QWidget::changeEvent(event);
}

void SearchWindow::on_dateCheckBox_clicked(bool checked)
{
    if (checked) {
        ui->minDateEdit->setDate(QDate::currentDate());
        ui->maxDateEdit->setDate(QDate::currentDate());
    }
    for (QWidget* w : std::initializer_list<QWidget*>{ui->minDateEdit, ui->maxDateEdit, ui->dateLabel})
        w->setVisible(checked);
}

void SearchWindow::on_sizeCheckBox_clicked(bool checked)
{
    for (QWidget* w : std::initializer_list<QWidget*>{ui->minSizeLineEdit, ui->maxSizeLineEdit,
                                                      ui->sizeComboBox, ui->sizeLabel})
        w->setVisible(checked);
}

void SearchWindow::on_selectNamesButton_clicked()
{
    if (ui->selectNamesButton->text() != listButtonText) {
        insertOperatorFromMenu(prompter_, this, ui->selectNamesButton, ui->fileNameComboBox);
        return;
    }
    editExpressionListInDialog(prompter_, this, ui->fileNameComboBox, SelectFileNamesDialog::FileNames);
}

void SearchWindow::on_selectContentsButton_clicked()
{
    if (ui->selectContentsButton->text() != listButtonText) {
        insertOperatorFromMenu(prompter_, this, ui->selectContentsButton, ui->contentsComboBox);
        return;
    }
    editExpressionListInDialog(prompter_, this, ui->contentsComboBox, SelectFileNamesDialog::ContentsText,
                               QT_TRANSLATE_NOOP("SearchWindow", "Select contents text"), "SearchWindow");
}

void SearchWindow::on_selectPathsButton_clicked()
{
    QStringList includes;
    QStringList excludes;
    parseMaskList(ui->directoryComboBox->currentText(), &includes, &excludes);
    SelectPathsDialog dialog(settings_, prompter_, this);
    dialog.setIncludePaths(includes);
    dialog.setExcludePaths(excludes);
    if (prompter_->execDialog(&dialog) != QDialog::Accepted)
        return;
    QStringList newIncludes = dialog.includePaths();
    QStringList newExcludes = dialog.excludePaths();
    newIncludes.removeAll(QString());
    newExcludes.removeAll(QString());
    if (newIncludes == includes && newExcludes == excludes)
        return;
    ui->directoryComboBox->setEditText(joinMaskList(newIncludes, newExcludes));
}

void SearchWindow::onFileNameModelAboutToBeReset()
{
    fileNameText_ = ui->fileNameComboBox->currentText();
}

void SearchWindow::onFileNameModelReset()
{
    ui->fileNameComboBox->setEditText(fileNameText_);
}

void SearchWindow::onFilePathModelAboutToBeReset()
{
    pathText_ = ui->directoryComboBox->currentText();
}

void SearchWindow::onFilePathModelReset()
{
    ui->directoryComboBox->setEditText(pathText_);
}

void SearchWindow::onFileContentModelAboutToBeReset()
{
    contentsText_ = ui->contentsComboBox->currentText();
}

void SearchWindow::onFileContentModelReset()
{
    ui->contentsComboBox->setEditText(contentsText_);
}
