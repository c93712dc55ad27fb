// Writes PNG pictures of the dialogs as the Qt front end draws them, for a person to look at:
// the logon dialog in English, Bokmål and Nynorsk, with and without history, with a picture and
// with the connect-as row; its history menu; the password change dialog; the main dialog.
// Usage: qt_screenshots [output folder [zoom]]; a zoom above 1 enlarges the pictures pixel by
// pixel for a close look. Run it under Xvfb or with QT_QPA_PLATFORM=offscreen.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "app/FormMain.h"
#include "oracle/logon/LogOnForm.h"
#include "oracle/logon/LogonHistory.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/session/OracleSession.h"
#include "platform/Locale.h"
#include "ui/Language.h"
#include "ui/qt/FormView.h"
#include "ui/qt/QtFrontEnd.h"
#include "ui/qt/QtPort.h"

namespace {

using oracle::TLogonOptions;

const TLogonOptions kApplicationOptions{oracle::ldAuto, oracle::ldDatabase, oracle::ldDatabaseList,
                                        oracle::ldLogonHistory};

QString outputFolder;
int zoom = 1;

void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void save(const QImage& image, const char* name) {
  const QString path = QDir(outputFolder).filePath(QString::fromLatin1(name));
  const QImage shown =
      zoom > 1 ? image.scaled(image.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)
               : image;
  if (!shown.save(path))
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  else
    std::printf("%s\n", qPrintable(path));
}

// The window's client area under a plain title bar drawn here, so the caption can be checked
// too (a display without a window manager draws none).
QImage framed(const QWidget& window, const QImage& client) {
  const int bar = 22;
  QImage image(client.width() + 2, client.height() + bar + 1, QImage::Format_ARGB32);
  image.fill(QColor(40, 60, 110));
  QPainter painter(&image);
  painter.drawImage(1, bar, client);
  painter.setPen(Qt::white);
  QFont font = window.font();
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRect(6, 0, image.width() - 30, bar), Qt::AlignVCenter | Qt::AlignLeft,
                   window.windowTitle());
  painter.drawText(QRect(image.width() - 22, 0, 18, bar), Qt::AlignCenter, QStringLiteral("x"));
  return image;
}

void saveView(ui::qt::FormView& view, const char* name) {
  view.show();
  settle();
  save(framed(view, view.grab().toImage()), name);
  view.hide();
}

// A 32 pixel wide picture: a database drum on a blue ground.
ui::Picture logonPicture() {
  const int w = 32;
  const int h = 100;
  ui::Picture picture{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w * h))};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int blue = 120 + 100 * y / h;
      std::uint32_t pixel =
          0xFF000000u | (30u << 16) | (60u << 8) | static_cast<std::uint32_t>(blue);
      const double dx = (x - 15.5) / 12.0;
      for (int top : {30, 46, 62}) {
        const double dy = (y - top) / 4.0;
        if (std::abs(dx) <= 1.0 && (dx * dx + dy * dy <= 1.0 || (y > top && y < top + 12)))
          pixel = 0xFFE8E8F0u;
      }
      picture.pixels[static_cast<std::size_t>(y * w + x)] = pixel;
    }
  }
  return picture;
}

void fillHistory(bool withGroups) {
  oracle::THistoryItems& history = oracle::LogonHistory();
  history.Clear();
  history.WithPassword = true;
  history.MaxItems = 0;
  oracle::AddHistoryItem(history, "scott", "tiger", "orcl", "", false);
  oracle::AddHistoryItem(history, "system", "manager", "orcl", "SYSDBA", false);
  if (!withGroups) return;
  oracle::AddHistoryItem(history, ">Test databases", "", "", "", false);
  oracle::AddHistoryItem(history, "scott", "tiger", "test", "", false);
  oracle::AddHistoryItem(history, "hr", "", "test", "", false);
  oracle::AddHistoryItem(history, ">", "", "", "", false);
  oracle::AddHistoryItem(history, "-", "", "", "", false);
  oracle::AddHistoryItem(history, "hr", "hr", "pdb1.example.com", "", false);
}

struct LogonScene {
  const char* file;
  std::uint16_t language;
  TLogonOptions options;
  bool history;
  bool picture;
  const char* username;
  const char* password;
};

void logonScene(const LogonScene& scene) {
  oracle::ResetLogonTexts();
  oracle::SelectLanguageTexts(scene.language);
  if (scene.history)
    fillHistory(false);
  else
    oracle::LogonHistory().Clear();
  oracle::TOracleSession session(nullptr);
  session.SetLogonUsername(scene.username);
  session.SetLogonPassword(scene.password);
  session.SetLogonDatabase(scene.options.contains(oracle::ldDatabaseList) ? "ORCL" : "orcl");
  session.SetConnectAs(oracle::caSYSDBA);
  oracle::TLogOnForm form;
  form.PrepareLogon(
      session, 8, scene.picture ? logonPicture() : ui::Picture{}, scene.options,
      [] {
        return std::optional<std::vector<std::string>>({"ORCL", "TEST", "PDB1.EXAMPLE.COM"});
      },
      [] { return true; });
  ui::qt::FormView view(form);
  view.prepareShow();
  saveView(view, scene.file);
}

// The logon dialog with its history menu open and the group's submenu unfolded, drawn into one
// picture at their places on the screen.
void historyMenuScene(ui::qt::QtPort& port) {
  oracle::ResetLogonTexts();
  fillHistory(true);
  oracle::TOracleSession session(nullptr);
  oracle::TLogOnForm form;
  form.PrepareLogon(session, 8, {}, kApplicationOptions, {}, {});
  const ui::ScopedPort scoped(port);
  // Inside the dialog's loop: open the menu; inside the menu's loop: look at it, then close all.
  QTimer::singleShot(100, [&port, &form] {
    ui::qt::FormView* view = port.ViewOf(form);
    if (view == nullptr) return;
    QTimer::singleShot(100, [view] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      QMenu* submenu = nullptr;
      for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
          submenu = action->menu();
          submenu->popup(menu->mapToGlobal(menu->actionGeometry(action).topRight()));
          break;
        }
      }
      settle();
      const QRect dialog(view->mapToGlobal(QPoint()), view->size());
      QRect all = dialog.united(menu->geometry());
      if (submenu != nullptr) all = all.united(submenu->geometry());
      QImage canvas(all.size(), QImage::Format_ARGB32);
      canvas.fill(Qt::darkGray);
      QPainter painter(&canvas);
      painter.drawImage(dialog.topLeft() - all.topLeft(), view->grab().toImage());
      painter.drawPixmap(menu->pos() - all.topLeft(), menu->grab());
      if (submenu != nullptr) painter.drawPixmap(submenu->pos() - all.topLeft(), submenu->grab());
      painter.end();
      save(canvas, "logon-history-menu.png");
      if (submenu != nullptr) submenu->close();
      menu->close();
    });
    if (auto* button = view->findChild<QAbstractButton*>(QStringLiteral("HistoryBtn")))
      button->click();
    view->reject();
  });
  port.ShowModal(form);
}

void passwordScene(std::uint16_t language, bool picture, const char* file) {
  oracle::ResetLogonTexts();
  oracle::SelectLanguageTexts(language);
  oracle::TLogOnForm form;
  form.PreparePasswordChange(oracle::LogonTexts().PasswordExpiredText,
                             picture ? logonPicture() : ui::Picture{});
  form.UsernameEdit.text = "secret";
  ui::qt::FormView view(form);
  view.prepareShow();
  saveView(view, file);
}

// A message box of the port, as it stands on the screen, saved and closed by a timer from within
// its own loop.
void boxScene(const std::function<void()>& show, const char* file) {
  QTimer::singleShot(150, [file] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
    settle();
    save(framed(*box, box->grab().toImage()), file);
    box->close();
  });
  show();
}

void boxScenes(ui::qt::QtPort& port, std::uint16_t language, const char* suffix) {
  oracle::ResetLogonTexts();
  oracle::SelectLanguageTexts(language);
  const ui::Language uiLanguage = ui::LanguageFromId(language);
  ui::SetLanguage(uiLanguage);
  QTranslator translator;
  if (ui::qt::LoadQtTranslation(translator, uiLanguage))
    QCoreApplication::installTranslator(&translator);
  const ui::ScopedPort scoped(port);
  const std::string tag = suffix;
  const std::string verification = "box-verification-failed-" + tag + ".png";
  boxScene([] { ui::port().ShowMessage(oracle::LogonTexts().VerificationFailedText); },
           verification.c_str());
  const std::string question = "box-grace-question-" + tag + ".png";
  boxScene(
      [] {
        ui::port().AskYesNo("ORA-28002: the password will expire within 5 days\n\r\n" +
                            oracle::LogonTexts().ChangePasswordNowText);
      },
      question.c_str());
  const std::string failed = "box-logon-failed-" + tag + ".png";
  boxScene(
      [] {
        ui::port().ShowDetailedMessage("ORA-01017: invalid username/password; logon denied\n",
                                       "Username: scott, Database: DEMO, Connect as: Normal");
      },
      failed.c_str());
  QCoreApplication::removeTranslator(&translator);
  ui::SetLanguage(ui::Language::English);
}

void mainScene() {
  app::TFormMain form;
  ui::qt::FormView view(form);
  view.prepareShow();
  saveView(view, "main.png");
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  outputFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  zoom = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  QDir().mkpath(outputFolder);
  ui::qt::QtPort port;

  using namespace oracle;
  const std::uint16_t en = platform::kLangEnglishUS;
  const std::uint16_t nb = platform::kLangNorwegianBokmal;
  const std::uint16_t nn = platform::kLangNorwegianNynorsk;
  const TLogonOptions connectAs{ldDatabase, ldLogonHistory, ldConnectAs};
  const LogonScene scenes[] = {
      {"logon-en.png", en, kApplicationOptions, false, false, "", ""},
      {"logon-en-history.png", en, kApplicationOptions, true, false, "scott", "tiger"},
      {"logon-nb.png", nb, kApplicationOptions, true, false, "scott", ""},
      {"logon-nn.png", nn, kApplicationOptions, true, false, "", ""},
      {"logon-en-picture.png", en, kApplicationOptions, true, true, "scott", ""},
      {"logon-en-connectas.png", en, connectAs, true, false, "system", ""},
      {"logon-nb-connectas-picture.png", nb, connectAs, false, true, "system", ""},
      {"logon-en-password-only.png", en,
       TLogonOptions{ldDatabase, ldLogonHistory, ldConnectAs, ldPasswordOnly}, true, false, "scott",
       ""},
      {"logon-en-no-database.png", en, TLogonOptions{ldLogonHistory}, false, false, "", ""},
  };
  for (const LogonScene& scene : scenes) logonScene(scene);
  historyMenuScene(port);
  passwordScene(en, false, "password-en.png");
  passwordScene(nb, true, "password-nb-picture.png");
  passwordScene(nn, false, "password-nn.png");
  mainScene();
  boxScenes(port, en, "en");
  boxScenes(port, nb, "nb");
  boxScenes(port, nn, "nn");
  return 0;
}
