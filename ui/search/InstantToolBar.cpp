#include "ui/search/InstantToolBar.h"

#include "search/model/FileSearchRequest.h"
#include "ui/common/Prompter.h"
#include "ui/common/UiResources.h"
#include "ui/dialogs/SelectFileNamesDialog.h"
#include "ui/search/ExpressionFieldActions.h"
#include "ui/search/RichComboBox.h"
#include "ui/search/SearchFieldModel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

namespace {

const QString listButtonText = QStringLiteral("...");

} // namespace

InstantToolBar::InstantToolBar(Prompter* prompter, QWidget* parent)
    : QToolBar(parent)
    , prompter_(prompter)
{
    initUiResources();
    registerMetaType();

    fileNameComboBox = new RichComboBox;
    fileNameComboBox->setObjectName(QStringLiteral("instantFileNameComboBox"));
    fileNameComboBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    fileNameComboBox->setInsertPolicy(QComboBox::NoInsert);
    fileNameComboBox->setModel(SearchFieldModel::instantFileNameHistory());
    fileNameComboBox->setEditText(QString());
    fileNameComboBox->setCompleter(nullptr);
    fileNameComboBox->setMinimumContentsLength(24);

    expressionTypeComboBox = new QComboBox;
    expressionTypeComboBox->setObjectName(QStringLiteral("instantFileNameFormatComboBox"));
    expressionTypeComboBox->addItems(QStringList() << QString() << QString() << QString() << QString());

    caseSensitiveCheckBox = new QCheckBox;
    caseSensitiveCheckBox->setObjectName(QStringLiteral("instantCaseSensitiveCheckBox"));

    selectButton = new QPushButton(listButtonText);
    selectButton->setObjectName(QStringLiteral("instantSelectNamesButton"));
    selectButton->setMaximumSize(20, 20);

    auto* container = new QWidget;
    auto* layout = new QHBoxLayout(container);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(4);
    layout->addWidget(fileNameComboBox);
    layout->addWidget(selectButton);
    layout->addWidget(expressionTypeComboBox);
    layout->addWidget(caseSensitiveCheckBox);
    addWidget(container);
    retranslate();

    connect(fileNameComboBox, &QComboBox::editTextChanged, this, &InstantToolBar::fileNameChanged);
    connect(fileNameComboBox, &QComboBox::editTextChanged, this, [this]() {
        if (error_.isEmpty())
            return;
        error_.clear();
        fileNameComboBox->setToolTip(QString());
        QToolTip::hideText();
    });
    connect(expressionTypeComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &InstantToolBar::onExpressionTypeChanged);
    connect(selectButton, &QPushButton::clicked, this, &InstantToolBar::onListButtonClicked);
}

void InstantToolBar::retranslate()
{
    static const char* const types[] = {QT_TRANSLATE_NOOP("TabPage", "Substring"),
                                        QT_TRANSLATE_NOOP("TabPage", "Whole word"),
                                        QT_TRANSLATE_NOOP("TabPage", "Regex"),
                                        QT_TRANSLATE_NOOP("TabPage", "Boolean")};
    for (int i = 0; i < 4; ++i)
        expressionTypeComboBox->setItemText(i, QCoreApplication::translate("TabPage", types[i]));
    caseSensitiveCheckBox->setText(QCoreApplication::translate("TabPage", "Case sensitive"));
}

void InstantToolBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QToolBar::changeEvent(event);
}

void InstantToolBar::registerMetaType()
{
    static const int id = qRegisterMetaType<QSharedPointer<FileSearchRequest>>("QSharedPointer<FileSearchRequest>");
    Q_UNUSED(id);
}

void InstantToolBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return) {
        QToolBar::keyPressEvent(event);
        return;
    }
    event->accept();
    const QString text = fileNameComboBox->currentText();
    SearchFieldModel::instantFileNameHistory()->addEntry(text);
    auto request = QSharedPointer<FileSearchRequest>::create();
    request->fileName = text;
    request->nameSyntax = expressionTypeComboBox->currentIndex();
    request->nameCase = caseSensitiveCheckBox->isChecked();
    emit startSearch(request);
}

void InstantToolBar::showError(const QString& message, int position, int length)
{
    error_ = message;
    fileNameComboBox->setToolTip(message);
    if (QLineEdit* edit = fileNameComboBox->lineEdit(); edit && position >= 0) {
        edit->setFocus();
        edit->setSelection(position, length);
    }
    if (fileNameComboBox->isVisible())
        QToolTip::showText(fileNameComboBox->mapToGlobal(QPoint(0, fileNameComboBox->height())), message,
                           fileNameComboBox);
}

void InstantToolBar::onExpressionTypeChanged(int index)
{
    const bool boolean = index == FileSearchRequest::Boolean;
    fileNameComboBox->setBoldOperators(boolean, font());
    selectButton->setIcon(boolean ? QIcon(QStringLiteral(":/images/LeftArrow.svg")) : QIcon());
    selectButton->setText(boolean ? QString() : listButtonText);
}

void InstantToolBar::onListButtonClicked()
{
    if (selectButton->text() == listButtonText) {
        if (editExpressionListInDialog(prompter_, this, fileNameComboBox, SelectFileNamesDialog::FileNames))
            fileNameComboBox->setFocus();
        return;
    }
    insertOperatorFromMenu(prompter_, this, selectButton, fileNameComboBox);
}
