#include "TSettingsForm.h"

#include "platform/gui/FontFit.h"
#include "appearance/core/ColorTable.h"
#include "appearance/core/GridCells.h"
#include "appearance/core/GridTemplates.h"
#include "appearance/gui/FolderGroups.h"
#include "appearance/gui/TOpenDirForm.h"
#include "attachments/gui/QtPictureReader.h"
#include "document/core/Editor.h"
#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"
#include "platform/gui/Cp1252.h"
#include "platform/gui/ListText.h"
#include "search/core/QuickSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace quorvex {

namespace {

constexpr int SwatchWidth = 49;
constexpr int SwatchHeight = 17;
constexpr const char *DefaultHint = "Sets defaults for this tab only";

struct ColourControl {
    const char *caption, *box, *swatch;
};
// In the order of the settings file.
const ColourControl ColourControls[StoredSettings::ColourCount] = {
    {"&Fixed Color:", "FixedColorBox", "FixedColorImage"},
    {"Fi&xed Font Color:", "FixedFontColorBox", "FixedFontColorImage"},
    {"&Odd Row Color:", "OddRowColorBox", "OddColorImage"},
    {"Odd Font Color:", "OddFontColorBox", "OddFontColorImage"},
    {"&Even Row Color:", "EvenRowColorBox", "EvenColorImage"},
    {"Even Font Color:", "EvenFontColorBox", "EvenFontColorImage"},
    {"Selected Color:", "SelectedColorBox", "SelectedColorImage"},
    {"Selected Font Color:", "SelectedFontColorBox", "SelectedFontColorImage"},
    {"Fixed Line Color:", "FixedLineColorBox", "FixedLineColorImage"},
    {"Line Color:", "GridLineColorBox", "GridLineColorImage"},
};
const char *const BackBoxNames[3] = {"FixedBackBox", "OddBackBox", "EvenBackBox"};
const char *const BackRoutines[3] = {"FixedBackBoxChange()", "OddBackBoxChange()", "EvenBackBoxChange()"};

QString text(const char *s)
{
    return QString::fromUtf8(s);
}

QColor qColor(ColorRef c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

std::string &backgroundOf(GridAppearance &a, SkinKind kind)
{
    return kind == SkinKind::Fixed ? a.fixedBackground : kind == SkinKind::Odd ? a.oddBackground : a.evenBackground;
}

// Sets a control without running its change action.
template <typename Set>
void quietly(bool &flag, Set set)
{
    const bool was = flag;
    flag = true;
    set();
    flag = was;
}

} // namespace

TSettingsForm::TSettingsForm(Editor &editor, QTableView *grid, QLabel *quickSearchLbl, bool &showSplash,
                             std::function<void(int)> lineWidthChanged, QWidget *parent)
    : QDialog(parent), m_editor(editor), m_grid(grid), m_quickSearchLbl(quickSearchLbl), m_showSplash(showSplash),
      m_lineWidthChanged(std::move(lineWidthChanged)), m_loader(editor.services().messages, QtPictureReader::read),
      m_folderCommands(editor.paths(), editor.services().messages, editor.services().shell)
{
    setObjectName(QStringLiteral("SettingsForm"));
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    setWindowTitle(QStringLiteral("Settings"));
    setModal(true);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    m_folderCommands.setHomeFolder(QDir::homePath().toStdString() + "/");
    m_chooser = std::make_unique<TOpenDirForm>(editor.services().messages, editor.paths().documentsFolder, this);
    m_backgrounds = SettingsModel::listBackgrounds(editor.paths().programFolder + SettingsModel::BackgroundsFolder);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addTab(buildHeaderTab(), QStringLiteral("&Header Text"));
    m_pages->addTab(buildGridTab(), QStringLiteral("&Grid"));
    m_pages->addTab(buildMiscTab(), QStringLiteral("&Miscellaneous"));
    m_pages->setCurrentIndex(GridTab);

    m_OkBtn = new QPushButton(QStringLiteral("&OK"), this);
    m_OkBtn->setObjectName(QStringLiteral("OkBtn"));
    m_OkBtn->setDefault(true);
    m_CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    m_CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    m_SaveBtn = new QPushButton(QStringLiteral("&Save Settings"), this);
    m_SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
    m_CancelBtn->setEnabled(false);
    m_SaveBtn->setEnabled(false);
    connect(m_OkBtn, &QPushButton::clicked, this, [this] {
        m_okUsed = true;
        accept();
    });
    connect(m_CancelBtn, &QPushButton::clicked, this, &TSettingsForm::CancelBtnClick);
    connect(m_SaveBtn, &QPushButton::clicked, this, &TSettingsForm::writeSettingsFile);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_OkBtn);
    buttons->addWidget(m_CancelBtn);
    buttons->addWidget(m_SaveBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    if (m_quickSearchLbl)
        m_quickSearchLbl->installEventFilter(this);
    showAppearance();
}

// The label may go first when the main window closes; Qt drops the filter itself.
TSettingsForm::~TSettingsForm() = default;

QWidget *TSettingsForm::buildHeaderTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    for (int k = 1; k <= 8; ++k) {
        auto *edit = new QLineEdit(page);
        edit->setObjectName(QStringLiteral("Col%1Edit").arg(k));
        auto *label = new QLabel(QStringLiteral("Column &%1:").arg(k), page);
        label->setBuddy(edit);
        grid->addWidget(label, k - 1, 0);
        grid->addWidget(edit, k - 1, 1);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, k](const QString &t) { headerEdited(k, t); });
        m_colEdits[static_cast<std::size_t>(k - 1)] = edit;
    }
    m_DefaultBtn2 = new QPushButton(QStringLiteral("&Default"), page);
    m_DefaultBtn2->setObjectName(QStringLiteral("DefaultBtn2"));
    m_DefaultBtn2->setToolTip(text(DefaultHint));
    connect(m_DefaultBtn2, &QPushButton::clicked, this, &TSettingsForm::DefaultBtn2Click);
    grid->addWidget(m_DefaultBtn2, 8, 1, Qt::AlignRight);
    return page;
}

QWidget *TSettingsForm::buildGridTab()
{
    auto *page = new QWidget;
    auto makeColourRow = [this](QGridLayout *layout, int row, int colour, QWidget *owner, int at = 0) {
        const ColourControl &c = ColourControls[colour];
        auto *box = new QComboBox(owner);
        box->setObjectName(text(c.box));
        for (int i = 0; i < ColorTable::EntryCount; ++i)
            box->addItem(QString::fromStdString(ColorTable::entryName(i)));
        auto *swatch = new QLabel(owner);
        swatch->setObjectName(text(c.swatch));
        swatch->setFixedSize(SwatchWidth, SwatchHeight);
        auto *label = new QLabel(text(c.caption), owner);
        label->setBuddy(box);
        layout->addWidget(label, row, at);
        layout->addWidget(swatch, row, at + 1);
        layout->addWidget(box, row, at + 2);
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, colour](int index) {
            if (!m_quiet)
                setColourEntry(colour, index);
        });
        m_colourBoxes[static_cast<std::size_t>(colour)] = box;
        m_swatches[static_cast<std::size_t>(colour)] = swatch;
    };

    auto *colours = new QGroupBox(QStringLiteral("Grid Colors"), page);
    auto *colourGrid = new QGridLayout(colours);
    // Background colours on the left, their font colours beside them.
    for (int i = 0; i < 8; ++i)
        makeColourRow(colourGrid, i / 2, i, colours, (i % 2) * 3);

    auto *backs = new QGroupBox(QStringLiteral("Grid Backgrounds"), page);
    auto *backGrid = new QGridLayout(backs);
    const char *backCaptions[3] = {"&Fixed:", "&Odd Row:", "&Even Row:"};
    for (int k = 0; k < 3; ++k) {
        auto *box = new QComboBox(backs);
        box->setObjectName(text(BackBoxNames[k]));
        box->addItem(QStringLiteral("none"));
        for (const std::string &name : m_backgrounds)
            box->addItem(Cp1252::fromPath(name));
        auto *label = new QLabel(text(backCaptions[k]), backs);
        label->setBuddy(box);
        backGrid->addWidget(label, k, 0);
        backGrid->addWidget(box, k, 1);
        const SkinKind kind = static_cast<SkinKind>(k);
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, kind](int index) {
            if (!m_quiet)
                setBackground(kind, index);
        });
        m_backBoxes[static_cast<std::size_t>(k)] = box;
    }

    auto *lines = new QGroupBox(QStringLiteral("Grid Line Options"), page);
    auto *lineGrid = new QGridLayout(lines);
    m_GridLineWidthEdit = new QSpinBox(lines);
    m_GridLineWidthEdit->setObjectName(QStringLiteral("GridLineWidthEdit"));
    // The range is the whole rule: nothing typed or read gets past it.
    m_GridLineWidthEdit->setRange(StoredSettings::MinLineWidth, StoredSettings::MaxLineWidth);
    m_GridLineWidthEdit->setValue(m_editor.gridAppearance.gridLineWidth);
    connect(m_GridLineWidthEdit, qOverload<int>(&QSpinBox::valueChanged), this, [this](int width) {
        if (!m_quiet)
            setLineWidth(width);
    });
    auto *widthLabel = new QLabel(QStringLiteral("Grid &Line Width:"), lines);
    widthLabel->setBuddy(m_GridLineWidthEdit);
    lineGrid->addWidget(widthLabel, 0, 0);
    lineGrid->addWidget(m_GridLineWidthEdit, 0, 2);
    lineGrid->addWidget(new QLabel(QStringLiteral("(pixels)"), lines), 0, 3);
    makeColourRow(lineGrid, 1, StoredSettings::FixedLine, lines);
    makeColourRow(lineGrid, 2, StoredSettings::GridLine, lines);

    m_GridTemplateBox = new QComboBox(page);
    m_GridTemplateBox->setObjectName(QStringLiteral("GridTemplateBox"));
    m_GridTemplateBox->setMaxVisibleItems(14);
    for (int i = 0; i < GridTemplates::Count; ++i)
        m_GridTemplateBox->addItem(QString::fromStdString(GridTemplates::name(i)));
    connect(m_GridTemplateBox, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (!m_quiet)
            applyTemplate(index);
    });
    auto *templateLabel = new QLabel(QStringLiteral("Grid T&emplate"), page);
    templateLabel->setBuddy(m_GridTemplateBox);

    m_DefaultBtn4 = new QPushButton(QStringLiteral("&Default"), page);
    m_DefaultBtn4->setObjectName(QStringLiteral("DefaultBtn4"));
    m_DefaultBtn4->setToolTip(text(DefaultHint));
    connect(m_DefaultBtn4, &QPushButton::clicked, this, [this] {
        quietly(m_quiet, [this] { m_GridTemplateBox->setCurrentIndex(GridTemplates::OddsHighlighted); });
        applyTemplate(GridTemplates::OddsHighlighted);
    });

    auto *layout = new QGridLayout(page);
    layout->addWidget(colours, 0, 0, 2, 1);
    layout->addWidget(backs, 0, 1);
    layout->addWidget(lines, 1, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(templateLabel);
    bottom->addWidget(m_GridTemplateBox);
    bottom->addStretch();
    bottom->addWidget(m_DefaultBtn4);
    layout->addLayout(bottom, 2, 0, 1, 2);
    return page;
}

QWidget *TSettingsForm::buildMiscTab()
{
    auto *page = new QWidget;
    auto *quick = new QGroupBox(QStringLiteral("Quick Search"), page);
    auto *quickLayout = new QHBoxLayout(quick);
    m_QuickSearchColEdit = new QSpinBox(quick);
    m_QuickSearchColEdit->setObjectName(QStringLiteral("QuickSearchColEdit"));
    m_QuickSearchColEdit->setRange(1, static_cast<int>(StoredSettings::MaxQuickSearchColumn));
    m_QuickSearchColEdit->setValue(m_editor.quickSearchColumn);
    auto *quickLabel = new QLabel(QStringLiteral("&Quick search column:"), quick);
    quickLabel->setBuddy(m_QuickSearchColEdit);
    quickLayout->addWidget(quickLabel);
    quickLayout->addWidget(m_QuickSearchColEdit);
    quickLayout->addStretch();
    connect(m_QuickSearchColEdit, qOverload<int>(&QSpinBox::valueChanged), this, [this](int column) {
        setQuickSearchColumn(column);
        if (!m_quiet)
            enableChangeButtons();
    });

    m_folders = new FolderGroups(m_folderCommands, *m_chooser, page);
    m_folders->setShownDatabaseFolder(m_editor.paths().databaseFolder);
    connect(m_folders, &FolderGroups::databaseFolderChanged, this, [this] { enableChangeButtons(); });

    m_ShowSplashChkBox = new QCheckBox(QStringLiteral("&Show splash screen on program startup"), page);
    m_ShowSplashChkBox->setObjectName(QStringLiteral("ShowSplashChkBox"));
    m_ShowSplashChkBox->setChecked(m_showSplash);
    connect(m_ShowSplashChkBox, &QCheckBox::toggled, this, [this](bool on) {
        m_showSplash = on;
        if (!m_quiet)
            enableChangeButtons();
    });

    m_DefaultBtn3 = new QPushButton(QStringLiteral("&Default"), page);
    m_DefaultBtn3->setObjectName(QStringLiteral("DefaultBtn3"));
    m_DefaultBtn3->setToolTip(text(DefaultHint));
    connect(m_DefaultBtn3, &QPushButton::clicked, this, &TSettingsForm::DefaultBtn3Click);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(quick);
    layout->addWidget(m_folders);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_ShowSplashChkBox);
    bottom->addStretch();
    bottom->addWidget(m_DefaultBtn3);
    layout->addLayout(bottom);
    layout->addStretch();
    return page;
}

ColorRef TSettingsForm::buttonFace() const
{
    const QColor c = (m_grid ? m_grid->palette() : QApplication::palette()).color(QPalette::Button);
    return static_cast<ColorRef>(c.red() + 256 * c.green() + 65536 * c.blue());
}

void TSettingsForm::FillColorImage(int colour)
{
    const GridColor &c = *SettingsModel::colours(m_editor.gridAppearance)[static_cast<std::size_t>(colour)];
    QPixmap pixmap(SwatchWidth, SwatchHeight);
    QPainter painter;
    // A pixmap the windowing system could not make, or a painter it refuses:
    // the swatch keeps what it showed.
    if (pixmap.isNull() || !painter.begin(&pixmap)) {
        MessageService &messages = m_editor.services().messages;
        messages.showException("The colour swatch could not be drawn.");
        messages.error("Error filling color image. - FillColorImage(), SettingsForm.");
        return;
    }
    painter.fillRect(0, 0, SwatchWidth, SwatchHeight, qColor(c.color));
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, SwatchWidth - 1, SwatchHeight - 1);
    painter.setPen(Qt::white);
    painter.drawRect(1, 1, SwatchWidth - 3, SwatchHeight - 3);
    painter.end();
    m_swatches[static_cast<std::size_t>(colour)]->setPixmap(pixmap);
}

// Boxes, swatches and the line width show the grid's look as it is.
void TSettingsForm::showAppearance()
{
    GridAppearance &a = m_editor.gridAppearance;
    quietly(m_quiet, [&] {
        const auto colours = SettingsModel::colours(a);
        for (int i = 0; i < StoredSettings::ColourCount; ++i) {
            m_colourBoxes[static_cast<std::size_t>(i)]->setCurrentIndex(colours[static_cast<std::size_t>(i)]->entry);
            FillColorImage(i);
        }
        for (int k = 0; k < 3; ++k)
            m_backBoxes[static_cast<std::size_t>(k)]->setCurrentIndex(
                SettingsModel::findBackground(m_backgrounds, backgroundOf(a, static_cast<SkinKind>(k))));
        m_GridLineWidthEdit->setValue(a.gridLineWidth);
    });
}

void TSettingsForm::setColourEntry(int colour, int entry)
{
    GridColor &c = *SettingsModel::colours(m_editor.gridAppearance)[static_cast<std::size_t>(colour)];
    if (entry == ColorTable::CustomEntry) {
        const QColor picked = QColorDialog::getColor(qColor(c.color), this, QString());
        c.entry = entry;
        // A cancelled colour dialog leaves the colour in force.
        if (picked.isValid())
            c.color = static_cast<ColorRef>(picked.red() + 256 * picked.green() + 65536 * picked.blue());
    } else {
        c = {entry, ColorTable::colorOfEntry(entry, buttonFace())};
    }
    quietly(m_quiet, [&] { m_colourBoxes[static_cast<std::size_t>(colour)]->setCurrentIndex(entry); });
    FillColorImage(colour);
    afterSettingChange();
}

void TSettingsForm::applyBackground(SkinKind kind)
{
    QComboBox *box = m_backBoxes[static_cast<std::size_t>(kind)];
    const int index = box->currentIndex();
    std::string &background = backgroundOf(m_editor.gridAppearance, kind);
    // A name the folder does not hold selects nothing and draws no picture.
    background = index > 0 ? Cp1252::toPath(box->currentText()) : std::string("none");
    if (index <= 0)
        return;
    const std::string path = m_editor.paths().programFolder + SettingsModel::BackgroundsFolder + background;
    try {
        // A missing or undecodable file was reported by the loader: the box
        // keeps the name and the row kind shows no picture.
        RasterImage picture;
        m_loader.LoadImage(picture, path);
        m_editor.gridSkins.setSkin(kind, GridCells::widenSkin(picture));
    } catch (const std::exception &e) {
        MessageService &messages = m_editor.services().messages;
        messages.showException(e.what());
        messages.error("Error loading background picture '" + path +
                       "'. Please make sure file exists and is not damaged. - " +
                       BackRoutines[static_cast<int>(kind)] + ", SettingsForm.");
        quietly(m_quiet, [box] { box->setCurrentIndex(0); });
        background = "none";
    }
}

void TSettingsForm::setBackground(SkinKind kind, int index)
{
    quietly(m_quiet, [&] { m_backBoxes[static_cast<std::size_t>(kind)]->setCurrentIndex(index); });
    applyBackground(kind);
    afterSettingChange();
}

void TSettingsForm::setLineWidth(int width)
{
    width = SettingsModel::clampLineWidth(width);
    quietly(m_quiet, [&] { m_GridLineWidthEdit->setValue(width); });
    m_editor.gridAppearance.gridLineWidth = width;
    afterSettingChange();
    if (m_lineWidthChanged)
        m_lineWidthChanged(width);
}

void TSettingsForm::applyTemplate(int index)
{
    m_templateBusy = true;
    quietly(m_quiet, [&] { m_GridTemplateBox->setCurrentIndex(index); });
    if (GridTemplates::apply(index, m_editor.gridAppearance, buttonFace())) {
        const int width = m_editor.gridAppearance.gridLineWidth;
        showAppearance();
        setLineWidth(width);
        for (int k = 0; k < 3; ++k)
            applyBackground(static_cast<SkinKind>(k));
        afterSettingChange();
    }
    m_templateBusy = false;
}

void TSettingsForm::afterSettingChange()
{
    if (m_grid) {
        m_grid->viewport()->update();
        m_grid->horizontalHeader()->viewport()->update();
        m_grid->verticalHeader()->viewport()->update();
    }
    if (!m_templateBusy)
        quietly(m_quiet, [this] { m_GridTemplateBox->setCurrentIndex(0); });
    enableChangeButtons();
}

void TSettingsForm::enableChangeButtons()
{
    m_CancelBtn->setEnabled(true);
    m_SaveBtn->setEnabled(true);
}

void TSettingsForm::repaintHeader(int k)
{
    // Only the one header: a full refresh would touch every row of a long list.
    if (!m_grid)
        return;
    QHeaderView *header = m_grid->horizontalHeader();
    header->viewport()->update(
        QRect(header->sectionViewportPosition(k - 1), 0, header->sectionSize(k - 1), header->viewport()->height()));
}

void TSettingsForm::writeHeader(int k, const std::string &value)
{
    ListDocument &doc = m_editor.document();
    if (k >= doc.ColCount() || doc.cellView(k, 0) == value)
        return;
    doc.SetCell(k, 0, value);
    // The header belongs to the list: it must be saved or asked about at exit.
    m_editor.MarkModified();
    repaintHeader(k);
}

void TSettingsForm::headerEdited(int k, const QString &value)
{
    writeHeader(k, ListText::fromUnicode(value, m_editor.document().textEncoding()));
}

void TSettingsForm::DefaultBtn2Click()
{
    std::array<std::string, 8> current;
    const TextEncoding encoding = m_editor.document().textEncoding();
    for (int k = 1; k <= 8; ++k)
        current[static_cast<std::size_t>(k - 1)] = ListText::fromUnicode(headerEdit(k)->text(), encoding);
    const auto headers = SettingsModel::defaultHeaders(m_editor.listType, current);
    for (int k = 1; k <= 8; ++k) {
        headerEdit(k)->setText(ListText::toUnicode(headers[static_cast<std::size_t>(k - 1)], encoding));
        writeHeader(k, headers[static_cast<std::size_t>(k - 1)]);
    }
    enableChangeButtons();
}

void TSettingsForm::setQuickSearchColumn(int column)
{
    m_editor.quickSearchColumn = column;
    if (m_quickSearchLbl)
        m_quickSearchLbl->setText(
            Cp1252::toUnicode(QuickSearch::labelText(column, m_editor.document().ColCount())));
}

void TSettingsForm::DefaultBtn3Click()
{
    m_ShowSplashChkBox->setChecked(true);
    m_QuickSearchColEdit->setValue(2);
    enableChangeButtons();
}

void TSettingsForm::SettingsBtnClick()
{
    if (m_grid)
        m_grid->setFocus();
    const ListDocument &doc = m_editor.document();
    m_remembered.appearance = m_editor.gridAppearance;
    m_remembered.quickSearchColumn = m_QuickSearchColEdit->value();
    m_remembered.showSplash = m_ShowSplashChkBox->isChecked();
    m_remembered.databaseFolder = m_folders->shownDatabaseFolder();
    for (int k = 1; k <= 8; ++k) {
        QLineEdit *edit = headerEdit(k);
        const bool present = k < doc.ColCount();
        const std::string header = present ? doc.GetCell(k, 0) : std::string();
        m_remembered.headers[static_cast<std::size_t>(k - 1)] = header;
        edit->setText(ListText::toUnicode(header, m_editor.document().textEncoding()));
        edit->setEnabled(k == 1 || present);
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Base, edit->isEnabled() ? QColor(Qt::white) : palette().color(QPalette::Window));
        edit->setPalette(pal);
    }
    showAppearance();
    m_CancelBtn->setEnabled(false);
    if (!m_okUsed)
        m_SaveBtn->setEnabled(false);
    if (const QScreen *s = QApplication::primaryScreen()) {
        adjustSize();
        move(s->availableGeometry().center() - rect().center());
    }
    m_opened = true;
    exec();
}

void TSettingsForm::openOnTab(int tab)
{
    m_pages->setCurrentIndex(tab);
    SettingsBtnClick();
}

void TSettingsForm::CancelBtnClick()
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
    for (int k = 1; k <= 8; ++k) {
        const std::string &header = m_remembered.headers[static_cast<std::size_t>(k - 1)];
        headerEdit(k)->setText(ListText::toUnicode(header, m_editor.document().textEncoding()));
        writeHeader(k, header);
    }
    const SkinKind kinds[3] = {SkinKind::Fixed, SkinKind::Odd, SkinKind::Even};
    GridAppearance &a = m_editor.gridAppearance;
    std::array<bool, 3> reload{};
    for (int k = 0; k < 3; ++k)
        reload[static_cast<std::size_t>(k)] = backgroundOf(a, kinds[k]) != backgroundOf(m_remembered.appearance, kinds[k]);
    a = m_remembered.appearance;
    showAppearance();
    // Only a picture that changed is loaded again.
    for (int k = 0; k < 3; ++k)
        if (reload[static_cast<std::size_t>(k)])
            applyBackground(kinds[k]);
    setLineWidth(a.gridLineWidth);
    quietly(m_quiet, [this] {
        m_QuickSearchColEdit->setValue(m_remembered.quickSearchColumn);
        m_ShowSplashChkBox->setChecked(m_remembered.showSplash);
    });
    setQuickSearchColumn(m_remembered.quickSearchColumn);
    m_showSplash = m_remembered.showSplash;
    m_folders->setShownDatabaseFolder(m_remembered.databaseFolder);
    m_editor.paths().databaseFolder = m_remembered.databaseFolder;
    afterSettingChange();
    QApplication::restoreOverrideCursor();
    reject();
}

void TSettingsForm::writeSettingsFile()
{
    const StoredSettings s = SettingsModel::toStored(m_editor.gridAppearance, m_QuickSearchColEdit->value(),
                                                     m_ShowSplashChkBox->isChecked(), m_folders->shownDatabaseFolder());
    if (SettingsFile::write(m_editor.paths().programFolder + SettingsFile::FileName, s, m_editor.services().messages) ==
        SettingsFile::WriteResult::Saved)
        m_SaveBtn->setEnabled(false);
}

void TSettingsForm::readSettingsFile()
{
    const StoredSettings defaults =
        SettingsModel::toStored(m_editor.gridAppearance, m_QuickSearchColEdit->value(),
                                m_ShowSplashChkBox->isChecked(), m_editor.paths().databaseFolder);
    const SettingsReadResult read = SettingsFile::read(SettingsFile::FileName, defaults, m_editor.services().messages);
    if (read.status == SettingsReadResult::Status::Read) {
        GridAppearance &a = m_editor.gridAppearance;
        SettingsModel::applyColours(read, a);
        const SettingsField fields[3] = {SettingsField::FixedBackground, SettingsField::OddBackground,
                                         SettingsField::EvenBackground};
        const std::string *stored[3] = {&read.values.fixedBackground, &read.values.oddBackground,
                                        &read.values.evenBackground};
        for (int k = 0; k < 3; ++k)
            if (read.isValid(fields[k]))
                backgroundOf(a, static_cast<SkinKind>(k)) = *stored[k];
        showAppearance();
        for (int k = 0; k < 3; ++k)
            if (read.isValid(fields[k]))
                applyBackground(static_cast<SkinKind>(k));
        if (m_lineWidthChanged)
            m_lineWidthChanged(a.gridLineWidth);
        quietly(m_quiet, [&] {
            if (read.isValid(SettingsField::QuickSearchColumn))
                m_QuickSearchColEdit->setValue(read.values.quickSearchColumn);
            if (read.isValid(SettingsField::ShowSplash))
                m_ShowSplashChkBox->setChecked(read.values.showSplash);
        });
        if (read.isValid(SettingsField::DatabaseFolder) && !read.values.databaseFolder.empty() &&
            QDir(Cp1252::fromPath(read.values.databaseFolder)).exists()) {
            m_editor.paths().databaseFolder = read.values.databaseFolder;
            m_folders->setShownDatabaseFolder(read.values.databaseFolder);
        }
    }
    if (m_editor.document().ColCount() < m_QuickSearchColEdit->value())
        quietly(m_quiet, [this] { m_QuickSearchColEdit->setValue(2); });
    setQuickSearchColumn(m_QuickSearchColEdit->value());
    afterSettingChange();
    m_CancelBtn->setEnabled(false);
    m_SaveBtn->setEnabled(false);
}

void TSettingsForm::keyPressEvent(QKeyEvent *event)
{
    // Escape is Cancel: it puts the opening values back instead of keeping
    // the changes as the frame's close box does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (m_CancelBtn->isEnabled())
            CancelBtnClick();
        else
            reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TSettingsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_quickSearchLbl && event->type() == QEvent::MouseButtonRelease) {
        openOnTab(MiscTab);
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress)
        for (QLineEdit *edit : m_colEdits)
            if (watched == edit && isVisible())
                enableChangeButtons();
    return QDialog::eventFilter(watched, event);
}

} // namespace quorvex
