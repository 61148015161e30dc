// The main window's controls and their wiring.
#include "app/LumarexDlg.h"

#include "app/AlbumGrid.h"
#include "app/AlbumView.h"
#include "app/AppIcon.h"
#include "app/ComboBox2.h"
#include "app/DlgFind.h"
#include "app/DlgWebOpen.h"
#include "app/ElidedLabel.h"
#include "app/MainMenu.h"
#include "app/SplashWindow.h"
#include "app/WindowPlaces.h"
#include "core/LumarexCore.h"
#include "run/RunController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
// The controls' ids: each control carries its id as its object name, which is how the window's
// tests and the status texts' owners find them.
enum ControlId : int {
    IDC_SAVE_PATH = 1000,
    IDC_ADDRESS = 1001,
    IDC_SERVICES = 1002,
    IDC_GRID = 1003,
    IDC_GET_ALBUMS = 1004,
    IDC_DOWNLOAD = 1005,
    IDC_COUNTS = 1006,
    IDC_BROWSE = 1007,
    IDC_OPEN_FOLDER = 1008,
    IDC_PHASE = 1009,
    IDC_ALBUM_FRAME = 1011,
    IDC_SELECT_ALL = 1012,
    IDC_HEADER = 1013,
    IDC_PREVIEW = 1014,
    IDC_FIND_LINK = 1034,
};

template <class Widget> Widget* Named(Widget* widget, const QString& id)
{
    widget->setObjectName(id);
    return widget;
}

template <class Widget> Widget* Named(Widget* widget, ControlId id)
{
    return Named(widget, QString::number(id));
}

QString HeaderText()
{
    return u"选择服务或粘贴相册主页地址、QQ号，获取相册后选中要下载的相册，再点“下载”"_s;
}

// A control shown only now and then keeps its place when hidden, so nothing moves around it.
void KeepPlaceWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// A button whose text switches between start and stop is wide enough for both.
void FitBothTexts(QPushButton* button, const QString& other)
{
    const QString own = button->text();
    int width = button->sizeHint().width();
    button->setText(other);
    width = std::max(width, button->sizeHint().width());
    button->setText(own);
    button->setMinimumWidth(width);
}

QProgressBar* NewProgressBar(QWidget* parent, const QString& name, const QString& format)
{
    auto* bar = Named(new QProgressBar(parent), name);
    bar->setFormat(format);
    bar->setFixedWidth(150);
    KeepPlaceWhenHidden(bar);
    bar->hide();
    return bar;
}
} // namespace

CLumarexDlg::CLumarexDlg(const QString& appDir, QWidget* parent)
    : QMainWindow(parent), m_core(std::make_unique<CLumarexCore>(m_bridge, appDir)),
      m_runs(std::make_unique<CRunController>(*m_core))
{
    setObjectName(u"102"_s);
    setWindowTitle(u"Talvoria"_s);
    setWindowIcon(AppIcon());
    setAcceptDrops(true);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    // The hint stays through every run, so that nothing below it moves.
    m_header = Named(new QLabel(HeaderText(), central), IDC_HEADER);
    layout->addWidget(m_header);
    layout->addWidget(BuildInputs());
    layout->addWidget(BuildAlbumFrame(), 1);
    layout->addWidget(BuildStatusRow());
    setCentralWidget(central);

    m_view = std::make_unique<CAlbumView>(*m_core, *m_grid, *m_selectAll, *m_previewBox);
    m_menu = new CMainMenu(*this, *menuBar());
    ConnectControls();
    AddShortcuts();
    SetTabOrder();
    m_places = new CWindowPlaces(*this, m_core->m_strAppDir);
    m_places->Restore(QSize(860, 620));
}

CLumarexDlg::~CLumarexDlg()
{
    Shutdown();
    // The controller's destructor waits for its runs, which may still draw albums into the view.
    m_runs.reset();
    m_core.reset();
    m_view.reset();
}

QWidget* CLumarexDlg::BuildInputs()
{
    auto* inputs = new QWidget(this);
    auto* grid = new QGridLayout(inputs);
    grid->setContentsMargins(0, 0, 0, 0);
    m_services = Named(new QComboBox(inputs), IDC_SERVICES);
    m_services->setMinimumWidth(190);
    m_cbAddress = Named(new CComboBox2(inputs), IDC_ADDRESS);
    m_getAlbums = Named(new QPushButton(u"获取相册"_s, inputs), IDC_GET_ALBUMS);
    m_cbSavePath = Named(new CComboBox2(inputs), IDC_SAVE_PATH);
    m_browse = Named(new QPushButton(u"设置"_s, inputs), IDC_BROWSE);
    m_browse->setToolTip(u"浏览，选择保存目录"_s);
    m_openFolder = Named(new QPushButton(u"打开"_s, inputs), IDC_OPEN_FOLDER);
    m_download = Named(new QPushButton(u"下载"_s, inputs), IDC_DOWNLOAD);
    m_download->setEnabled(false);
    FitBothTexts(m_getAlbums, u"终止获取"_s);
    FitBothTexts(m_download, u"终止下载"_s);

    grid->addWidget(new QLabel(u"服务："_s, inputs), 0, 0);
    grid->addWidget(m_services, 0, 1);
    grid->addWidget(new QLabel(u"地址："_s, inputs), 0, 2);
    grid->addWidget(m_cbAddress, 0, 3, 1, 3);
    grid->addWidget(m_getAlbums, 0, 6);
    grid->addWidget(new QLabel(u"保存到："_s, inputs), 1, 0);
    grid->addWidget(m_cbSavePath, 1, 1, 1, 3);
    grid->addWidget(m_browse, 1, 4);
    grid->addWidget(m_openFolder, 1, 5);
    grid->addWidget(m_download, 1, 6);
    grid->setColumnStretch(3, 1);
    return inputs;
}

QWidget* CLumarexDlg::BuildAlbumFrame()
{
    m_albumFrame = Named(new QGroupBox(u"相册列表"_s, this), IDC_ALBUM_FRAME);
    auto* layout = new QVBoxLayout(m_albumFrame);
    m_grid = Named(new CMyGridCtrl(m_albumFrame), IDC_GRID);
    m_selectAll = Named(new QCheckBox(u"全选"_s, m_albumFrame), IDC_SELECT_ALL);
    m_previewBox = Named(new QCheckBox(u"预览图"_s, m_albumFrame), IDC_PREVIEW);
    m_findLink = Named(new QLabel(u"<a href=\"#find\">查找</a>"_s, m_albumFrame), IDC_FIND_LINK);
    m_findLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_findLink->setFocusPolicy(Qt::TabFocus);
    auto* row = new QHBoxLayout;
    row->addWidget(m_selectAll);
    row->addWidget(m_previewBox);
    row->addStretch();
    row->addWidget(m_findLink);
    layout->addWidget(m_grid, 1);
    layout->addLayout(row);
    return m_albumFrame;
}

QWidget* CLumarexDlg::BuildStatusRow()
{
    // Two lines: what is happening with the progress bars, then the counts with the whole width
    // to themselves, so that a narrow window still shows every count.
    auto* status = new QWidget(this);
    auto* lines = new QGridLayout(status);
    lines->setContentsMargins(0, 0, 0, 0);
    m_phase = Named(new CElidedLabel(status), IDC_PHASE);
    m_phase->SetFullText(u"就绪"_s);
    m_counts = Named(new CElidedLabel(status), IDC_COUNTS);
    m_albumProgress = NewProgressBar(status, u"albumProgress"_s, u"图集 %v/%m"_s);
    m_pictureProgress = NewProgressBar(status, u"pictureProgress"_s, u"图片 %v/%m"_s);
    m_retryFailed = Named(new QPushButton(u"重试失败的图集"_s, status), u"retryFailed"_s);
    // Shown only when a download left albums to retry, so never beside the bars of a run: it
    // takes their place.
    m_retryFailed->setEnabled(false);
    m_retryFailed->hide();
    lines->addWidget(m_phase, 0, 0);
    lines->addWidget(m_albumProgress, 0, 1);
    lines->addWidget(m_pictureProgress, 0, 2);
    // The speed and the time left, beside the bars while a download runs.
    m_speed = Named(new CElidedLabel(status), u"speed"_s);
    m_speed->setFixedWidth(150);
    KeepPlaceWhenHidden(m_speed);
    m_speed->hide();
    lines->addWidget(m_speed, 0, 3);
    lines->addWidget(m_retryFailed, 0, 1, 1, 3, Qt::AlignRight);
    lines->addWidget(m_counts, 1, 0, 1, 4);
    lines->setColumnStretch(0, 1);
    return status;
}

void CLumarexDlg::ConnectControls()
{
    connect(m_getAlbums, &QPushButton::clicked, this, &CLumarexDlg::OnGetAlbums);
    connect(m_download, &QPushButton::clicked, this, &CLumarexDlg::OnDownload);
    connect(m_browse, &QPushButton::clicked, this, &CLumarexDlg::OnBrowseSavePath);
    connect(m_openFolder, &QPushButton::clicked, this, &CLumarexDlg::OnOpenSavePath);
    connect(m_findLink, &QLabel::linkActivated, this, &CLumarexDlg::OnFindLink);
    connect(m_retryFailed, &QPushButton::clicked, this, &CLumarexDlg::OnRetryFailed);
    connect(m_services, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) m_core->m_nSourceKind = index;
    });
    // Typing and choosing from the history both change the text; either may name a service.
    connect(m_cbAddress, &QComboBox::editTextChanged, this, &CLumarexDlg::RecognizeAddress);
    // Enter in the address box does what the button next to it does.
    connect(m_cbAddress, &CComboBox2::Entered, this, &CLumarexDlg::OnGetAlbums);
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CLumarexDlg::UpdateDownloadButton);
    // A new view drops the selection without a word.
    connect(m_grid->model(), &QAbstractItemModel::modelReset, this, &CLumarexDlg::UpdateDownloadButton);
    connect(m_selectAll, &QCheckBox::clicked, m_view.get(), &CAlbumView::OnSelectAll);
    connect(m_previewBox, &QCheckBox::clicked, m_view.get(), &CAlbumView::OnPreviewToggle);
}

void CLumarexDlg::AddShortcuts()
{
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, &CLumarexDlg::OnFindLink);
    // Through close(), so that a busy run is asked about as for the window's own close button.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this, [this] {
        if (!menuBar()->actions().isEmpty()) menuBar()->setActiveAction(menuBar()->actions().first());
    });
}

void CLumarexDlg::SetTabOrder()
{
    const QList<QWidget*> order{m_services, m_cbAddress, m_getAlbums, m_cbSavePath, m_browse,   m_openFolder,
                                m_download, m_grid,      m_selectAll, m_previewBox, m_findLink, m_retryFailed};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}
