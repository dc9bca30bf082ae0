#include "app/shell/OptionsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

#include "app/res/Icons.h"

namespace tarnwick {

namespace {

using morlund::GameType;

QString Id(int id) { return QString::number(id); }

QCheckBox* CheckBox(const QString& text, int id, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(Id(id));
    return box;
}

// A check box that keeps its place in the layout while hidden, so the dialog does not
// shift when the game changes.
void KeepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

}  // namespace

int ReadSignedInt(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        digits = true;
        value = value * 10 + (text[i].unicode() - '0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return 0;
    }
    if (!digits) return 0;
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) return 0;
    return static_cast<int>(value);
}

COptionsDlg::COptionsDlg(AppSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_work(settings), m_folderPicker(ChooseFolder) {
    setWindowTitle(QStringLiteral("Options"));

    // Primary game and where its files live.
    auto* gameBox = new QGroupBox(QStringLiteral("Primary &Game:"), this);
    m_game = new QComboBox(gameBox);
    m_game->setObjectName(Id(kIdPriGame));
    m_gameIcon = new QLabel(gameBox);
    m_gameIcon->setObjectName(Id(kIdGameIcon));
    m_gameIcon->setFixedSize(32, 32);
    m_path = new QLineEdit(gameBox);
    m_path->setObjectName(Id(kIdPath));
    m_path->setMinimumWidth(260);
    auto* pathLabel = new QLabel(QStringLiteral("&Path:"), gameBox);
    pathLabel->setBuddy(m_path);
    m_browse = new QPushButton(QStringLiteral("&Browse..."), gameBox);
    m_browse->setObjectName(Id(kIdBrowse));
    m_browse->setAutoDefault(false);
    m_useDefaultPath = CheckBox(QStringLiteral("&Use path as default"), kIdUseDefaultPath, gameBox);
    m_useAltFileDlg =
        CheckBox(QStringLiteral("Use &alternative file dialog"), kIdUseAltFileDlg, gameBox);
    KeepPlaceWhenHidden(m_useAltFileDlg);

    m_game->setMinimumWidth(150);
    auto* gameRow = new QHBoxLayout;
    gameRow->addWidget(m_game);
    gameRow->addStretch(1);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(m_browse);
    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(m_useDefaultPath);
    checkRow->addSpacing(16);
    checkRow->addWidget(m_useAltFileDlg);
    checkRow->addStretch(1);
    auto* gameGrid = new QGridLayout(gameBox);
    gameGrid->setHorizontalSpacing(12);
    gameGrid->setColumnStretch(1, 1);
    gameGrid->addWidget(m_gameIcon, 0, 0, 3, 1, Qt::AlignLeft | Qt::AlignTop);
    gameGrid->addLayout(gameRow, 0, 1);
    gameGrid->addLayout(pathRow, 1, 1);
    gameGrid->addLayout(checkRow, 2, 1);

    // How views draw and what they show.
    auto* viewBox = new QGroupBox(QStringLiteral("Views"), this);
    m_flickerFree = CheckBox(QStringLiteral("&Flicker-free drawing"), kIdFlickerFree, viewBox);
    m_useMetrics = CheckBox(QStringLiteral("Use &metrics"), kIdUseMetrics, viewBox);
    m_maxRadius = new QLineEdit(viewBox);
    m_maxRadius->setObjectName(Id(kIdMaxRadius));
    m_maxRadius->setMaximumWidth(80);
    m_startView = new QComboBox(viewBox);
    m_startView->setObjectName(Id(kIdStartView));
    auto* viewForm = new QFormLayout(viewBox);
    viewForm->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    viewForm->addRow(m_flickerFree);
    viewForm->addRow(m_useMetrics);
    viewForm->addRow(QStringLiteral("Max. &radius length (m):"), m_maxRadius);
    viewForm->addRow(QStringLiteral("&Open file with:"), m_startView);

    // Starting modes of a new graph view.
    auto* graphBox = new QGroupBox(QStringLiteral("New graph views"), this);
    m_cursorMode = CheckBox(QStringLiteral("Cursor mode by default"), kIdCursorMode, graphBox);
    m_drawLines = CheckBox(QStringLiteral("Draw lines by default"), kIdDrawLines, graphBox);
    m_showValues = CheckBox(QStringLiteral("Show values by default"), kIdShowValues, graphBox);
    auto* graphColumn = new QVBoxLayout(graphBox);
    graphColumn->addWidget(m_cursorMode);
    graphColumn->addWidget(m_drawLines);
    graphColumn->addWidget(m_showValues);
    graphColumn->addStretch(1);

    // The header line of printed statistics.
    auto* printBox = new QGroupBox(QStringLiteral("Printing"), this);
    m_statPrtHdr = new QLineEdit(printBox);
    m_statPrtHdr->setObjectName(Id(kIdStatPrtHdr));
    auto* printForm = new QFormLayout(printBox);
    printForm->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    printForm->addRow(QStringLiteral("&Statistics print header:"), m_statPrtHdr);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));

    auto* lower = new QHBoxLayout;
    lower->addWidget(viewBox, 3);
    lower->addWidget(graphBox, 2);
    auto* main = new QVBoxLayout(this);
    main->addWidget(gameBox);
    main->addLayout(lower);
    main->addWidget(printBox);
    main->addWidget(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    // Opening: bring the stored choices into range, then show them.
    m_work.start_view = ClampTo(m_work.start_view, 0, AppSettings::kStartViewCount - 1);
    for (const morlund::GameInfo& game : morlund::GetGames()) {
        m_game->addItem(GameIcon(game.type), tarnwick::GetGameName(game.type));
        m_paths[static_cast<std::size_t>(morlund::GameIndex(game.type))] =
            m_work.GetPath(game.type);
    }
    m_game->setCurrentIndex(morlund::GameIndex(m_work.pri_game));
    ShowGame();
    for (int view = 0; view < AppSettings::kStartViewCount; ++view)
        m_startView->addItem(GetStartViewName(view));
    m_startView->setCurrentIndex(m_work.start_view);

    m_maxRadius->setText(QString::number(m_work.map_max_radius));
    m_useDefaultPath->setChecked(m_work.use_default_path != 0);
    m_useAltFileDlg->setChecked(m_work.UseAltFileDialog());
    m_flickerFree->setChecked(m_work.flicker_free != 0);
    m_useMetrics->setChecked(m_work.use_miles == 0);
    m_cursorMode->setChecked(m_work.default_cursor_mode != 0);
    m_drawLines->setChecked(m_work.default_draw_lines != 0);
    m_showValues->setChecked(m_work.default_show_values != 0);
    m_statPrtHdr->setText(m_work.stat_prt_hdr);

    // Connected after filling, so that filling the lists is not taken for a choice.
    connect(m_game, &QComboBox::currentIndexChanged, this, &COptionsDlg::OnGameChanged);
    connect(m_startView, &QComboBox::currentIndexChanged, this, &COptionsDlg::OnStartViewChanged);
    connect(m_browse, &QPushButton::clicked, this, &COptionsDlg::OnBrowse);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionsDlg::reject);
    m_game->setFocus();
}

void COptionsDlg::ShowGame() {
    m_path->setText(PathField());
    m_gameIcon->setPixmap(GameIconPixmap(m_work.pri_game, 32));
    // Generic files are always opened with the standard file dialog.
    m_useAltFileDlg->setVisible(m_work.pri_game != GameType::Generic);
}

QString& COptionsDlg::PathField() {
    return m_paths[static_cast<std::size_t>(morlund::GameIndex(m_work.pri_game))];
}

void COptionsDlg::OnGameChanged(int index) {
    // The path typed for the game being left is kept until OK or Cancel.
    PathField() = m_path->text();
    m_work.pri_game = morlund::ClampGame(index);
    ShowGame();
}

void COptionsDlg::OnStartViewChanged(int index) {
    m_work.start_view = ClampTo(index, 0, AppSettings::kStartViewCount - 1);
}

void COptionsDlg::OnBrowse() {
    // Start from the folder in the edit when it exists here (game folders are Windows paths).
    const QString local = LocalPath(m_path->text());
    const QString start = !local.isEmpty() && QFileInfo(local).isDir() ? local : QDir::homePath();
    const QString folder = m_folderPicker(this, QStringLiteral("Find Path"), start);
    if (!folder.isEmpty()) m_path->setText(QDir::toNativeSeparators(folder));
}

void COptionsDlg::accept() {
    PathField() = m_path->text();
    for (const morlund::GameInfo& game : morlund::GetGames())  // each drops one trailing separator
        m_work.SetPath(game.type, m_paths[static_cast<std::size_t>(morlund::GameIndex(game.type))]);
    m_work.map_max_radius = ReadSignedInt(m_maxRadius->text());
    m_work.use_miles = m_useMetrics->isChecked() ? 0 : 1;
    m_work.flicker_free = m_flickerFree->isChecked() ? 1 : 0;
    m_work.use_default_path = m_useDefaultPath->isChecked() ? 1 : 0;
    m_work.default_cursor_mode = m_cursorMode->isChecked() ? 1 : 0;
    m_work.default_draw_lines = m_drawLines->isChecked() ? 1 : 0;
    m_work.default_show_values = m_showValues->isChecked() ? 1 : 0;
    m_work.use_alt_filedlg = m_useAltFileDlg->isChecked() ? 1 : 0;
    m_work.stat_prt_hdr = m_statPrtHdr->text();
    m_settings = m_work;
    QDialog::accept();
}

}  // namespace tarnwick
