#include "editor/variables_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/place_dialog.h"
#include "editor/dialog_controls.h"
#include "printer/screen_text.h"

namespace tavrin {

using namespace gui;

namespace {
constexpr const char* kJustifyNames[] = {"None", "Left", "Center", "Right"};
constexpr int kPromptEditLength = 26;
constexpr int kValueEditLength = 63;
constexpr int kNumberEditLength = 3;
}  // namespace

TVarCntDlg::TVarCntDlg(const Translation& translation, QWidget* parent) : QDialog(parent), translation_(translation) {
    setObjectName(QStringLiteral("TVarCntDlg"));
    setWindowTitle(QStringLiteral("Define Variables and Counters"));
    variables_ = new QRadioButton(QStringLiteral("Variables"), this);
    variables_->setObjectName(QStringLiteral("VariablesRb"));
    counters_ = new QRadioButton(QStringLiteral("Counters"), this);
    counters_->setObjectName(QStringLiteral("CountersRb"));
    variables_->setChecked(true);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("VarList"));
    list_->setFixedWidth(130);
    length_ = makeEdit(this, "LengthEd", kNumberEditLength, 4);
    justify_ = makeList(this, "JustifyList", kJustifyNames);
    fillChar_ = makeEdit(this, "FillCharEd", 1, 2);
    increment_ = makeEdit(this, "IncrementEd", kNumberEditLength, 4);
    prompt_ = makeEdit(this, "PromptEd", kPromptEditLength, 26);
    value_ = makeEdit(this, "ValueEd", kValueEditLength, 26);
    auto* newButton = makeButton(this, "NewBt", QStringLiteral("New"));
    auto* deleteButton = makeButton(this, "DeleteBt", QStringLiteral("Delete"));
    auto* deleteAll = makeButton(this, "DeleteAllBt", QStringLiteral("Delete All"));
    auto* fromPrinterButton = makeButton(this, "FromPrinterBt", QStringLiteral("From Printer"));
    auto* ok = makeButton(this, "OkBt", QStringLiteral("OK"));

    // Every field goes into the slot when the user leaves it.
    for (QLineEdit* edit : {length_, fillChar_, increment_, prompt_, value_})
        connect(edit, &QLineEdit::editingFinished, this, [this] { storeFields(); });
    connect(justify_, &QComboBox::activated, this, [this] { storeFields(); });
    fillChar_->installEventFilter(this);
    connect(variables_, &QRadioButton::toggled, this, [this] {
        storeFields();
        fillList();
    });
    connect(list_, &QListWidget::currentRowChanged, this, [this] {
        if (filling_) return;
        storeFields();
        showFields();
    });
    connect(newButton, &QPushButton::clicked, this, [this] { addNew(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(deleteAll, &QPushButton::clicked, this, [this] { removeAll(); });
    connect(fromPrinterButton, &QPushButton::clicked, this, [this] { fromPrinter(); });
    connect(ok, &QPushButton::clicked, this, [this] {
        storeFields();
        accept();
    });

    auto* kindBox = new QGroupBox(this);
    auto* kindLayout = new QVBoxLayout(kindBox);
    kindLayout->addWidget(variables_);
    kindLayout->addWidget(counters_);
    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight);
    fields->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    fields->addRow(QStringLiteral("Length:"), length_);
    fields->addRow(QStringLiteral("Justify:"), justify_);
    fields->addRow(QStringLiteral("Fill char:"), fillChar_);
    incrementLabel_ = new QLabel(QStringLiteral("Increment:"), this);
    incrementLabel_->setObjectName(QStringLiteral("IncrementLb"));
    fields->addRow(incrementLabel_, increment_);
    fields->addRow(QStringLiteral("Prompt:"), prompt_);
    fields->addRow(QStringLiteral("Value:"), value_);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {newButton, deleteButton, deleteAll, fromPrinterButton}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* grid = new QGridLayout(this);
    grid->addWidget(kindBox, 0, 0);
    grid->addWidget(list_, 1, 0);
    grid->addLayout(fields, 0, 1, 2, 1);
    grid->addLayout(buttons, 0, 2, 2, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

bool TVarCntDlg::eventFilter(QObject* watched, QEvent* event) {
    // Entering the fill character selects it, so that a typed character replaces it; the
    // selection waits for the click that brought the focus to end.
    if (watched == fillChar_ && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, fillChar_, [this] { fillChar_->selectAll(); });
    return QDialog::eventFilter(watched, event);
}

bool TVarCntDlg::execute(LabelDocument& document) {
    sheet_ = VariableSheet::from(document);
    fillList();
    placeDialog(this, parentWidget(), -1, 0);
    if (exec() != QDialog::Accepted) return false;
    sheet_.applyTo(document);
    return true;
}

SlotKind TVarCntDlg::kind() const { return variables_->isChecked() ? SlotKind::Variables : SlotKind::Counters; }

void TVarCntDlg::fillList(std::optional<int> position) {
    filling_ = true;
    list_->clear();
    const bool counters = kind() == SlotKind::Counters;
    incrementLabel_->setVisible(counters);
    increment_->setVisible(counters);
    for (const std::string& name : sheet_.entryNames(kind())) list_->addItem(QString::fromLatin1(name.c_str()));
    if (position && *position < list_->count()) list_->setCurrentRow(*position);
    filling_ = false;
    showFields();
}

void TVarCntDlg::showFields() {
    shownKind_ = kind();
    shownSlot_ = sheet_.slotAt(kind(), list_->currentRow());
    if (!shownSlot_) {
        for (QLineEdit* edit : {length_, fillChar_, increment_, prompt_, value_}) edit->clear();
        justify_->setCurrentIndex(0);
        return;
    }
    const SlotFields f = sheet_.fields(kind(), *shownSlot_);
    const auto screen = [this](const std::string& text) {
        return QString::fromStdString(printerToScreen(text, translation_));
    };
    length_->setText(QString::fromStdString(f.length));
    justify_->setCurrentIndex(f.justification);
    fillChar_->setText(screen(f.padChar));
    increment_->setText(QString::fromStdString(f.step));
    prompt_->setText(screen(f.prompt));
    value_->setText(screen(f.value));
}

void TVarCntDlg::storeFields() {
    if (!shownSlot_) return;
    const auto printer = [this](const QLineEdit* edit) { return screenToPrinter(editText(edit), translation_); };
    SlotFields f;
    f.length = editText(length_);
    f.justification = justify_->currentIndex();
    f.padChar = printer(fillChar_);
    f.step = editText(increment_);
    f.prompt = printer(prompt_);
    f.value = printer(value_);
    sheet_.storeFields(shownKind_, *shownSlot_, f);
}

void TVarCntDlg::addNew() {
    storeFields();
    const std::optional<int> slot = sheet_.addNew(kind());
    if (!slot) return;
    fillList(sheet_.positionOf(kind(), *slot));
}

void TVarCntDlg::removeSelected() {
    if (!shownSlot_) return;
    storeFields();
    fillList(sheet_.removeAt(kind(), list_->currentRow()));
}

void TVarCntDlg::removeAll() {
    sheet_.removeAll();
    fillList();
}

void TVarCntDlg::fromPrinter() {
    storeFields();
    if (!onFromPrinter) return;
    // After silence the sheet is as it was, and so is the list.
    if (!onFromPrinter(sheet_)) return;
    // A reply without definitions leaves an empty sheet; the list shows that too rather
    // than entries for slots that are gone.
    fillList();
}

}  // namespace tavrin
