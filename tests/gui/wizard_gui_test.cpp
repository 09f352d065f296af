// The Qt wizard driven through its real widgets: the mode table forward and
// back, Cancel, the folder pages' messages, the folder dialog, and the
// download dialogs, with a screenshot of every window when asked for.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "app/start_up.h"
#include "download/download_worker.h"
#include "download/proxy_dialog.h"
#include "download/retry_dialog.h"
#include "platform/posix/curl_internet_api.h"
#include "platform/posix/posix_platform.h"
#include "resources/dialog_resources.h"
#include "tests/gui/modal_answers.h"
#include "tests/support/fake_internet_api.h"
#include "tests/support/posix/peer_process.h"
#include "ui/qt/qt_artwork.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_setup_run.h"
#include "ui/qt/qt_ui_dispatcher.h"
#include "wizard/setup_wizard.h"

namespace ks::gui {

namespace {

const QString kSetupCaption = QStringLiteral("Setup");
const QString kErrorCaption = QStringLiteral("Error");
const QString kCreateFolderCaption = QStringLiteral("Create Folder");
const QString kQuitQuestion = QStringLiteral("Are you sure you want to quit setup?");
const QString kBrowseTitle = QStringLiteral("Select Directory");

// The pages of the mode choice and the folders; the pages after them need a
// catalog and are shown on their own below.
const std::set<int> kWalkedPages = {102, 153, 104, 147};

// One run of the setup on the real Linux adapters in a temporary home.
struct Session {
  Session() {
    context.platform = posix.ports();
    context.platform.dialogs = &dialogs;
    context.platform.ui = &ui;
    initSetupState(context);
    std::vector<std::unique_ptr<WizardPage>> pages;
    for (auto& page : makeWizardPages(context)) {
      if (kWalkedPages.count(page->templateId())) pages.push_back(std::move(page));
    }
    wizard = std::make_unique<QtWizard>(context, std::move(pages));
    wizard->start();
  }

  QtWizardView& view() { return wizard->view(); }
  int shownPage() { return view().currentPage() ? view().currentPage()->templateId() : 0; }
  template <typename T>
  T* control(int id) {
    return qobject_cast<T*>(view().currentPage()->control(id));
  }

  PosixPlatform posix;
  QtUiDispatcher ui;
  QtDialogs dialogs{ui};
  SetupContext context;
  std::unique_ptr<QtWizard> wizard;
};

// A client whose reads wait until the test lets them go, or until the
// transfer is broken off.
class HeldInternetApi final : public test::FakeInternetApi {
 public:
  bool readFile(InternetHandle data, char* buffer, std::uint32_t wanted,
                std::uint32_t& got) override {
    {
      std::unique_lock lock(mutex_);
      waiting_ = true;
      changed_.wait(lock, [&] { return released_ || aborts > 0; });
    }
    return FakeInternetApi::readFile(data, buffer, wanted, got);
  }
  void abortTransfer(InternetHandle handle) override {
    FakeInternetApi::abortTransfer(handle);
    std::lock_guard lock(mutex_);
    changed_.notify_all();
  }
  void release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  bool waiting() {
    std::lock_guard lock(mutex_);
    return waiting_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool waiting_ = false;
  bool released_ = false;
};

// The Download and Install page of an Internet installation of one plain
// file, whose download waits on a held client, or comes from a real server
// through the given client.
struct DownloadSession {
  explicit DownloadSession(const QString& folder, InternetApi* served = nullptr,
                           const std::string& url = "http://held.test/pub/readme.txt") {
    context.platform = posix.ports();
    context.platform.dialogs = &dialogs;
    context.platform.ui = &ui;
    context.platform.internet = served ? served : &internet;
    SetupState& state = context.state;
    state.mode = SETUP_MODE_INTERNET;
    state.installDir = (folder + "/install").toStdString();
    state.downloadDir = (folder + "/download").toStdString();
    QDir().mkpath(QString::fromStdString(state.installDir));
    QDir().mkpath(QString::fromStdString(state.downloadDir));
    auto component = std::make_unique<Component>();
    component->title = "Read me";
    component->selected = component->download = component->install = 1;
    component->installMethod = 1;  // a copy
    component->urls[0] = url;
    component->urlCount = 1;
    context.catalog.components[0] = std::move(component);
    context.catalog.componentCount = 1;
    internet.script.body = "Read me.";
    internet.script.contentLength = "8";
    std::vector<std::unique_ptr<WizardPage>> pages;
    for (auto& page : makeWizardPages(context)) {
      if (page->templateId() == 105) pages.push_back(std::move(page));
    }
    wizard = std::make_unique<QtWizard>(context, std::move(pages));
    wizard->start();
  }
  QString installed() const {
    return QString::fromStdString(context.state.installDir + "/readme.txt");
  }
  QString package() const {
    return QString::fromStdString(context.state.downloadDir + "/readme.txt");
  }

  PosixPlatform posix;
  QtUiDispatcher ui;
  QtDialogs dialogs{ui};
  HeldInternetApi internet;
  SetupContext context;
  std::unique_ptr<QtWizard> wizard;
};

// Clicks a control once it is enabled (button requests are posted, so they
// take effect after the handler that made them). Boxes and options are
// clicked on their indicator.
void click(QWidget* widget) {
  QVERIFY2(widget, "no such control");
  QTRY_VERIFY2(widget->isEnabled(), qPrintable(widget->objectName() + " is disabled"));
  const bool box = qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget);
  const QPoint at =
      box ? QPoint(widget->height() / 2, widget->height() / 2) : widget->rect().center();
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

void typeInto(QLineEdit* edit, const QString& text) {
  QVERIFY(edit);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

}  // namespace

class WizardGuiTest final : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<ModalAnswers> answers_;

  Session& s() { return *session_; }
  QString folder(const QString& name) {
    const QString path = home_.filePath(name);
    QDir().mkpath(path);
    return path;
  }
  void shootPage(const QString& name) {
    saveScreenshot(s().view().window(), name);
    const QStringList cut = cutOffControls(s().view().window());
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join("\n")));
  }
  void chooseMode(int option) {
    click(s().control<QRadioButton>(option));
    QTRY_VERIFY(s().view().nextButton().isEnabled());
  }
  void pressNext() { click(&s().view().nextButton()); }
  void pressBack() { click(&s().view().backButton()); }
  void expectError(const QString& text) {
    answers_->expectMessage(kErrorCaption, text, QMessageBox::Ok);
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("HOME", home_.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home_.filePath(".config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", home_.filePath(".local/share").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", home_.filePath(".cache").toLocal8Bit());
  }
  void init() {
    answers_ = std::make_unique<ModalAnswers>();
    session_ = std::make_unique<Session>();
    QTRY_COMPARE(s().shownPage(), 102);
  }
  void cleanup() {
    QVERIFY2(answers_->failures.isEmpty(), qPrintable(answers_->failures.join("\n")));
    QVERIFY2(answers_->done(), "a window the test expected was never shown");
    session_.reset();
    answers_.reset();
  }

  void setupOptionsOffersNextOnlyAfterAnOption() {
    QVERIFY(!s().view().nextButton().isEnabled());
    QVERIFY(!s().view().backButton().isEnabled());
    QVERIFY(!s().control<QRadioButton>(1036)->isEnabled());
    QCOMPARE(s().control<QLabel>(1078)->text(), QStringLiteral("Not Found"));
    QCOMPARE(s().view().window().windowTitle(), QStringLiteral("Kestrova Active Setup"));
    shootPage(QStringLiteral("page-102"));
    chooseMode(1035);
    chooseMode(1034);
    QVERIFY(!s().control<QRadioButton>(1035)->isChecked());
  }

  void internetModeWalksForwardAndBack() {
    chooseMode(1034);
    pressNext();
    QTRY_COMPARE(s().shownPage(), 104);
    QTRY_VERIFY(s().view().backButton().isEnabled());
    QVERIFY(s().control<QLineEdit>(1005)->isEnabled());
    QCOMPARE(s().control<QLineEdit>(1005)->text().toStdString(), s().context.state.setupDir);
    shootPage(QStringLiteral("page-104"));
    typeInto(s().control<QLineEdit>(1034), folder("install"));
    typeInto(s().control<QLineEdit>(1005), folder("download"));
    pressNext();
    QTRY_COMPARE(s().shownPage(), 147);
    shootPage(QStringLiteral("page-147"));
    pressBack();
    QTRY_COMPARE(s().shownPage(), 104);
    QCOMPARE(s().control<QLineEdit>(1034)->text(), home_.filePath("install"));
    pressBack();
    QTRY_COMPARE(s().shownPage(), 102);
    QVERIFY(s().control<QRadioButton>(1034)->isChecked());
  }

  void localModeWalksForwardAndBack() {
    chooseMode(1040);
    pressNext();
    QTRY_COMPARE(s().shownPage(), 153);
    QCOMPARE(s().control<QLineEdit>(1003)->text(), home_.filePath("Kestrova Setup"));
    shootPage(QStringLiteral("page-153"));
    typeInto(s().control<QLineEdit>(1003), folder("archive"));
    pressNext();
    QTRY_COMPARE(s().shownPage(), 104);
    QVERIFY(!s().control<QLineEdit>(1005)->isEnabled());
    QCOMPARE(s().control<QLineEdit>(1005)->text(), home_.filePath("archive"));
    QVERIFY(s().control<QLineEdit>(1034)->isEnabled());
    typeInto(s().control<QLineEdit>(1034), folder("install"));
    pressNext();  // the Download Location page skips itself in local mode
    QCOMPARE(s().shownPage(), 104);
    pressBack();
    QTRY_COMPARE(s().shownPage(), 153);
    pressBack();
    QTRY_COMPARE(s().shownPage(), 102);
  }

  void cancelDeclinedKeepsTheWizardAndConfirmedClosesIt() {
    chooseMode(1035);
    answers_->expectMessage(kSetupCaption, kQuitQuestion, QMessageBox::No);
    click(&s().view().cancelButton());
    QVERIFY(answers_->done());
    QVERIFY(s().view().window().isVisible());
    QVERIFY(s().control<QRadioButton>(1035)->isChecked());
    QVERIFY(s().view().nextButton().isEnabled());
    // The window's close box asks the same question.
    answers_->expectMessage(kSetupCaption, kQuitQuestion, QMessageBox::No);
    s().view().window().close();
    QVERIFY(answers_->done());
    QVERIFY(s().view().window().isVisible());
    answers_->expectMessage(kSetupCaption, kQuitQuestion, QMessageBox::Yes);
    click(&s().view().cancelButton());
    QVERIFY(s().wizard->frame().closed());
    QVERIFY(!s().view().window().isVisible());
  }

  void localArchiveFolderMessages() {
    chooseMode(1040);
    pressNext();
    QTRY_COMPARE(s().shownPage(), 153);
    typeInto(s().control<QLineEdit>(1003), QString());
    expectError(QStringLiteral("Folder is NULL."));
    pressNext();
    QCOMPARE(s().shownPage(), 153);
    const QString missing = home_.filePath("no-such-archive");
    typeInto(s().control<QLineEdit>(1003), missing);
    expectError(QStringLiteral("Directory not found."));
    pressNext();
    QCOMPARE(s().shownPage(), 153);
    QCOMPARE(s().control<QLineEdit>(1003)->text(), missing);
  }

  void destinationFolderMessages() {
    chooseMode(1034);
    pressNext();
    QTRY_COMPARE(s().shownPage(), 104);
    typeInto(s().control<QLineEdit>(1034), QString());
    expectError(QStringLiteral("Install folder path is empty!"));
    pressNext();
    QCOMPARE(s().shownPage(), 104);

    // A missing folder: No stays without another message, Yes creates it.
    const QString created = home_.filePath("new-install");
    const QString question =
        QStringLiteral("The folder '%1' does not exist.\nDo you want to create it?");
    typeInto(s().control<QLineEdit>(1034), created);
    typeInto(s().control<QLineEdit>(1005), QString());
    answers_->expectMessage(kCreateFolderCaption, question.arg(created), QMessageBox::No);
    pressNext();
    QCOMPARE(s().shownPage(), 104);
    QVERIFY(!QDir(created).exists());
    answers_->expectMessage(kCreateFolderCaption, question.arg(created), QMessageBox::Yes);
    expectError(QStringLiteral("Download folder path is empty!"));
    pressNext();
    QCOMPARE(s().shownPage(), 104);
    QVERIFY(QDir(created).exists());

    // A missing parent is created with the folder.
    const QString deep = home_.filePath("missing-parent/install");
    typeInto(s().control<QLineEdit>(1034), deep);
    typeInto(s().control<QLineEdit>(1005), folder(QStringLiteral("download")));
    answers_->expectMessage(kCreateFolderCaption, question.arg(deep), QMessageBox::Yes);
    pressNext();
    QTRY_COMPARE(s().shownPage(), 147);
    QVERIFY(QDir(deep).exists());
  }

  void cancelledBrowsePutsTheStoredFolderBack() {
    chooseMode(1040);
    pressNext();
    QTRY_COMPARE(s().shownPage(), 153);
    const QString stored = s().control<QLineEdit>(1003)->text();
    typeInto(s().control<QLineEdit>(1003), home_.filePath("typed-but-not-stored"));
    answers_->expectWindow(kBrowseTitle, [](QWidget& window) {
      saveScreenshot(window, QStringLiteral("browse-for-folder"));
      cancelFolderDialog(window);
    });
    click(s().control<QAbstractButton>(1092));
    QVERIFY(answers_->done());
    QCOMPARE(s().control<QLineEdit>(1003)->text(), stored);
  }

  // Filled in with the keyboard: the mnemonics of the box and of the label
  // before the field, Enter for OK.
  void proxyDialogStoresTheTickedProxy() {
    ProxyRun proxy(s().context.state);
    answers_->expectWindow(QStringLiteral("Proxy Settings"), [](QWidget& window) {
      auto* use = window.findChild<QCheckBox*>(QStringLiteral("control-1075"));
      auto* server = window.findChild<QLineEdit*>(QStringLiteral("control-1030"));
      QVERIFY(use && server);
      QVERIFY(!server->isEnabled());
      QVERIFY(cutOffControls(window).isEmpty());
      saveScreenshot(window, QStringLiteral("dialog-110"));
      window.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&window));
      QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
      QTRY_VERIFY(server->isEnabled());  // a mnemonic clicks after a moment
      QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
      QCOMPARE(QApplication::focusWidget(), server);
      QTest::keyClicks(server, QStringLiteral("proxy.example:3128"));
      QTest::keyClick(server, Qt::Key_Return);
    });
    QCOMPARE(s().dialogs.runModalDialog(kIddProxySettings, proxy), 1);
    QCOMPARE(s().context.state.useProxy, 1);
    QCOMPARE(s().context.state.proxyServer, std::string("proxy.example:3128"));
  }

  // With the keyboard: Alt+A opens the proxy settings, Escape closes them,
  // Enter answers Retry.
  void retryDialogOpensProxySettingsAndAnswersRetry() {
    ProxyRun proxy(s().context.state);
    RetryRun retry([&] { s().dialogs.runModalDialog(kIddProxySettings, proxy); });
    answers_->expectWindow(QStringLiteral("Kestrova Active Setup"), [](QWidget& window) {
      QVERIFY(cutOffControls(window).isEmpty());
      saveScreenshot(window, QStringLiteral("dialog-164"));
      window.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&window));
      QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);  // &Advanced
    });
    // Escape cancels the proxy dialog; the retry dialog stays open until
    // Retry is clicked.
    answers_->expectWindow(QStringLiteral("Proxy Settings"), [](QWidget& window) {
      QTest::keyClick(&window, Qt::Key_Escape);
      QMetaObject::invokeMethod(
          qApp,
          [] {
            for (QWidget* open : QApplication::topLevelWidgets()) {
              if (open->objectName() == QStringLiteral("dialog-164") && open->isVisible()) {
                QTest::keyClick(open, Qt::Key_Return);  // &Retry, the default button
              }
            }
          },
          Qt::QueuedConnection);
    });
    const int result = s().dialogs.runModalDialog(kIddRetryDownload, retry);
    QCOMPARE(result, kRetryResultRetry);
  }

  // The quit question's own event loop hands the page the end of the
  // download: the page keeps it until the answer, and installs after No.
  void cancelDuringADownloadWaitsForTheAnswer() {
    DownloadSession d(folder(QStringLiteral("declined")));
    QTRY_VERIFY(d.internet.waiting());
    bool downloaded = false;
    bool installedBehind = true;
    answers_->expectMessage(kSetupCaption, kQuitQuestion, [&](QWidget& window) {
      d.internet.release();
      downloaded = QTest::qWaitFor([] { return runningDownloadWorkers() == 0; });
      installedBehind = QFile::exists(d.installed());
      click(qobject_cast<QMessageBox*>(&window)->button(QMessageBox::No));
    });
    click(&d.wizard->view().cancelButton());
    QVERIFY(downloaded);
    QVERIFY2(!installedBehind, "installed behind the question");
    QTRY_COMPARE(d.context.installQueueOutcome[0], ComponentOutcome::Done);
    QVERIFY(QFile::exists(d.installed()));
    QVERIFY(!d.wizard->frame().closed());
  }

  // Yes stops the transfer at once and removes its file; the run says it
  // was cancelled.
  void cancelConfirmedDuringADownloadStopsIt() {
    DownloadSession d(folder(QStringLiteral("confirmed")));
    QTRY_VERIFY(d.internet.waiting());
    answers_->expectMessage(kSetupCaption, kQuitQuestion, QMessageBox::Yes);
    click(&d.wizard->view().cancelButton());
    QTRY_VERIFY(d.wizard->frame().closed());
    QTRY_COMPARE(runningDownloadWorkers(), 0);
    QVERIFY(!QFile::exists(d.package()));
    QVERIFY(!QFile::exists(d.installed()));
    QCOMPARE(wizardExitCode(d.context), kExitCancelled);
  }

  // A real download from a server on 127.0.0.1, in blocks: the bar follows
  // the bytes of the package, never going back, and ends full; the line
  // under it counts the queue.
  void progressBarFollowsARealDownload() {
    test::PeerProcess server;
    QVERIFY(server.start({"/usr/bin/python3", KS_DOWNLOAD_PEERS_DIR "/http_server.py"},
                         std::chrono::seconds(20)));
    CurlInternetApi curl(s().dialogs);
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/paced/409600";
    DownloadSession d(folder(QStringLiteral("paced")), &curl, url);
    QtPageView* page = d.wizard->view().page(105);
    auto* bar = qobject_cast<QProgressBar*>(page->control(1032));
    QVERIFY(bar && bar->isVisibleTo(page));
    QList<int> seen;
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) { seen.append(value); });
    QTRY_COMPARE_WITH_TIMEOUT(d.context.installQueueOutcome[0], ComponentOutcome::Done, 20000);
    QCOMPARE(bar->value(), 100);
    QVERIFY2(std::any_of(seen.begin(), seen.end(), [](int v) { return v > 0 && v < 100; }),
             "the bar never stood between empty and full");
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QCOMPARE(qobject_cast<QLabel*>(page->control(1033))->text(),
             QString::fromUtf8("Package 1 of 1 \u2014 400.0 KB of 400.0 KB"));
    QVERIFY(qobject_cast<QLabel*>(page->control(1067))->text().startsWith("400 KB of 400 KB"));
    saveScreenshot(d.wizard->view().window(), QStringLiteral("page-105-done"));
  }

  // Space on the current item of the component tree works its tick box as
  // a click on the box does; on a group it does nothing.
  void spaceTicksTheCurrentComponent() {
    QtWizardView view;
    view.createPage(1084);
    QtPageView& page = *view.page(1084);
    std::vector<std::uintptr_t> stateClicks;
    page.setEvents(
        {.treeStateClick = [&](int, std::uintptr_t item) { stateClicks.push_back(item); }});
    page.setTreeStateImages(1068, 126);
    const std::uintptr_t group = page.addTreeItem(1068, 0, "Client", true, 0);
    const std::uintptr_t client = page.addTreeItem(1068, group, "Kestrova", false, 1);
    page.expandTreeItem(1068, group);
    view.showPage(1084);
    view.window().show();
    auto* tree = qobject_cast<QTreeWidget*>(page.control(1068));
    tree->setFocus();
    tree->setCurrentItem(tree->topLevelItem(0));
    QTest::keyClick(tree, Qt::Key_Space);
    QVERIFY(stateClicks.empty());
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::keyClick(tree, Qt::Key_Space);
    QCOMPARE(stateClicks, std::vector<std::uintptr_t>{client});
  }

  // The first pages with the keyboard alone: a mnemonic picks the option,
  // Enter is Next, Tab reaches the folder fields, Alt+B is Back, Escape asks
  // to quit and Escape again answers No.
  void keyboardAloneWalksThePages() {
    QWidget& window = s().view().window();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
    QTRY_VERIFY(s().control<QRadioButton>(1034)->isChecked());
    QTRY_VERIFY(s().view().nextButton().isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(s().shownPage(), 104);
    QTRY_VERIFY(s().view().nextButton().isEnabled());
    for (const auto& [id, name] : {std::pair{1005, "download"}, std::pair{1034, "install"}}) {
      QWidget* field = s().control<QLineEdit>(id);
      for (int tabs = 0; tabs < 20 && QApplication::focusWidget() != field; ++tabs) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      }
      QCOMPARE(QApplication::focusWidget(), field);
      QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(field, folder(QString::fromLatin1(name)));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(s().shownPage(), 147);
    QTRY_VERIFY(s().view().backButton().isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(s().shownPage(), 104);
    answers_->expectMessage(kSetupCaption, kQuitQuestion,
                            [](QWidget& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(answers_->done());
    QVERIFY(!s().wizard->frame().closed());
  }

  // Every page in one window of one size that fits the screen, with Back,
  // Next and Cancel inside it; what the controllers do to a page (bold title
  // and options, a line filled in later, a progress bar shown) does not make
  // it grow.
  void everyPageFitsTheScreen() {
    QtWizardView view;
    const QSize first = view.window().size();
    for (int id : kWizardPageTemplates) {
      PageView& page = view.createPage(id);
      const bool sideBand = findDialogTemplate(id)->sideBand;
      page.setFont(1043, sideBand ? PageView::Font{"Arial", 22, 700} : PageView::Font{"", 18, 700});
      for (const ControlTemplate& control : findDialogTemplate(id)->controls) {
        if (control.kind == ControlKind::RadioButton) page.setFont(control.id, {"", 0, 700});
        if (control.kind == ControlKind::Static && control.text.empty()) {
          page.setText(control.id, "Package 2 of 3 \xE2\x80\x94 14.2 MB of 20.0 MB");
        }
        if (control.kind == ControlKind::ProgressBar) page.show(control.id, true);
      }
      QCOMPARE(view.window().size(), first);
    }
    view.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&view.window()));
    const QSize screen = view.window().screen()->availableGeometry().size();
    const QSize size = view.window().size();
    QVERIFY2(size.width() <= screen.width() && size.height() <= screen.height(),
             qPrintable(QStringLiteral("%1x%2 on %3x%4")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(screen.width())
                            .arg(screen.height())));
    for (int id : kWizardPageTemplates) {
      view.showPage(id);
      QCoreApplication::processEvents();
      QCOMPARE(view.window().size(), size);
      for (QPushButton* button : {&view.backButton(), &view.nextButton(), &view.cancelButton()}) {
        const QRect at(button->mapTo(&view.window(), QPoint(0, 0)), button->size());
        QVERIFY2(view.window().rect().contains(at), qPrintable(button->objectName()));
      }
    }
    // The user may make it smaller; the buttons stay in view.
    const QSize smaller = size * 3 / 4;
    view.window().resize(smaller);
    QCoreApplication::processEvents();
    QCOMPARE(view.window().size(), smaller);
    const QRect cancel(view.cancelButton().mapTo(&view.window(), QPoint(0, 0)),
                       view.cancelButton().size());
    QVERIFY(view.window().rect().contains(cancel));
  }

  // The band artwork keeps its proportions whatever the shape of its band,
  // and leaves no part of the band bare; a header keeps the right end of its
  // picture, a side band the top.
  void artworkKeepsItsProportionsAndCoversItsBand() {
    const QSizeF header(496, 56);
    const QSizeF side(164, 312);
    for (const QSizeF area :
         {QSizeF(900, 60), QSizeF(500, 120), QSizeF(160, 600), QSizeF(300, 300)}) {
      for (const QSizeF picture : {header, side}) {
        const QRectF drawn = coverRect(picture, area);
        QVERIFY(qAbs(drawn.width() / drawn.height() - picture.width() / picture.height()) < 1e-9);
        QVERIFY(drawn.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(QRectF(QPointF(0, 0), area)));
      }
    }
    QCOMPARE(coverRect(header, QSizeF(900, 60)).right(), 900.0);
    QCOMPARE(coverRect(side, QSizeF(160, 600)).top(), 0.0);
  }

  // Answered with the keyboard alone: the name field has the focus, Tab
  // leads to the password, Enter is OK.
  void passwordQuestionFromADownloadThread() {
    answers_->expectWindow(QStringLiteral("Enter Network Password"), [](QWidget& window) {
      // A failed check leaves no dialog open for the waiting thread.
      const auto closeLeftOpen = qScopeGuard([&] {
        if (window.isVisible()) qobject_cast<QDialog*>(&window)->reject();
      });
      QVERIFY(cutOffControls(window).isEmpty());
      saveScreenshot(window, QStringLiteral("dialog-password"));
      const auto field = [&](int id) {
        return window.findChild<QLineEdit*>(QStringLiteral("control-%1").arg(id));
      };
      QCOMPARE(window.focusWidget(), field(kIdcPasswordUserName));
      QTest::keyClicks(window.focusWidget(), QStringLiteral("anna"));
      QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
      QCOMPARE(window.focusWidget(), field(kIdcPasswordPassword));
      QTest::keyClicks(window.focusWidget(), QStringLiteral("secret"));
      QTest::keyClick(window.focusWidget(), Qt::Key_Return);
    });
    std::string user;
    std::string password;
    bool given = false;
    bool finished = false;
    std::thread worker([&] {
      given = s().dialogs.askPassword({"proxy.example:3128", true}, user, password);
      s().ui.post([&] { finished = true; });
    });
    QTRY_VERIFY(finished);
    worker.join();
    QVERIFY(given);
    QCOMPARE(user, std::string("anna"));
    QCOMPARE(password, std::string("secret"));
  }

  // The pages after the folders, filled as their controllers fill them: the
  // component tree with tick boxes and colours, the progress list with its
  // row images and bold row. A click on a tick box is reported as a state
  // click; a click on the text selects the item.
  void laterPagesShowTreesAndListsUncut() {
    QtWizardView view;
    std::vector<std::pair<int, std::uintptr_t>> stateClicks;
    std::vector<std::uintptr_t> selections;
    for (int id : {1084, 105, 106, 107}) {
      if (!findDialogTemplate(id)) continue;
      PageView& page = view.createPage(id);
      page.setFont(1043, {"", 18, 700});
      page.setTextStyle(1043, PageView::TextStyle::HeaderText);
      page.setTextStyle(1096, PageView::TextStyle::HeaderText);
      page.paintBitmap(1111, 111);
      page.paintBitmap(1080, 110);
    }
    view.window().show();
    if (QtPageView* components = view.page(1084)) {
      components->setEvents(
          {.treeStateClick = [&](int id,
                                 std::uintptr_t item) { stateClicks.emplace_back(id, item); },
           .treeSelection = [&](int, std::uintptr_t item) { selections.push_back(item); }});
      components->setTreeStateImages(1068, 126);
      const std::uintptr_t group = components->addTreeItem(1068, 0, "Client", true, 0);
      const std::uintptr_t client = components->addTreeItem(1068, group, "Kestrova", false, 2);
      const std::uintptr_t help = components->addTreeItem(1068, group, "Help files", false, 1);
      components->setTreeItemColour(1068, client, PageView::ItemColour::Red);
      components->setTreeItemColour(1068, help, PageView::ItemColour::Blue);
      components->expandTreeItem(1068, group);
      view.showPage(1084);
      auto* tree = qobject_cast<QTreeWidget*>(components->control(1068));
      QVERIFY(tree);
      QTreeWidgetItem* helpItem = tree->topLevelItem(0)->child(1);
      const QRect area = tree->visualItemRect(helpItem);
      QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                        QPoint(area.left() + 8, area.center().y()));
      QCOMPARE(stateClicks.size(), std::size_t{1});
      QCOMPARE(stateClicks.front(), std::make_pair(1068, help));
      QVERIFY(selections.empty());
      QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                        QPoint(area.left() + 60, area.center().y()));
      QCOMPARE(selections, std::vector<std::uintptr_t>{help});
      QCOMPARE(stateClicks.size(), std::size_t{1});
      saveScreenshot(view.window(), QStringLiteral("page-1084"));
      QVERIFY2(cutOffControls(view.window()).isEmpty(),
               qPrintable(cutOffControls(view.window()).join("\n")));
    }
    if (QtPageView* progress = view.page(105)) {
      progress->setListStateImages(1070, 149);
      for (const char* title : {"Kestrova", "Help files", "Spell checker", "Themes"}) {
        progress->addListRow(1070, title, 1);
      }
      progress->setListRowStateImage(1070, 0, 3);
      progress->setListRowStateImage(1070, 1, 4);
      progress->setListRowStateImage(1070, 2, 2);
      progress->setBoldListRow(1070, 2);
      view.showPage(105);
      auto* list = qobject_cast<QListWidget*>(progress->control(1070));
      QVERIFY(list);
      QVERIFY(list->item(2)->font().bold());
      QVERIFY(!list->item(0)->font().bold());
      QVERIFY(!progress->control(1032)->isVisibleTo(progress));
      saveScreenshot(view.window(), QStringLiteral("page-105"));
      QVERIFY(cutOffControls(view.window()).isEmpty());
    }
    for (int id : {106, 107}) {
      if (!view.page(id)) continue;
      view.showPage(id);
      saveScreenshot(view.window(), QStringLiteral("page-%1").arg(id));
      QVERIFY(cutOffControls(view.window()).isEmpty());
    }
  }

 private:
  // The Proxy Settings and Retry controllers as modal dialogs.
  class ProxyRun final : public ModalDialog {
   public:
    explicit ProxyRun(SetupState& state) : state_(state) {}
    void onInit(PageView& view) override {
      controller_ = std::make_unique<ProxyDialogController>(view, state_);
      controller_->onInit();
    }
    DialogCommandResult onCommand(int id) override { return controller_->onCommand(id, 0); }

   private:
    SetupState& state_;
    std::unique_ptr<ProxyDialogController> controller_;
  };
  class RetryRun final : public ModalDialog {
   public:
    explicit RetryRun(std::function<void()> runProxy) : controller_(std::move(runProxy)) {}
    void onInit(PageView&) override {}
    DialogCommandResult onCommand(int id) override { return controller_.onCommand(id, 0); }

   private:
    RetryDialogController controller_;
  };
};

}  // namespace ks::gui

QTEST_MAIN(ks::gui::WizardGuiTest)
#include "wizard_gui_test.moc"
