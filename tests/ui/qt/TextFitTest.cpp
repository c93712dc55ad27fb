// Every text of every dialog shows whole in each of the three languages, on the offscreen
// platform: labels, buttons and titles, the port's message boxes, and Qt's own button words.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <functional>
#include <memory>

#include "QtTestSupport.h"
#include "app/FormMain.h"
#include "oracle/logon/LogOnForm.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/session/OracleSession.h"
#include "platform/Locale.h"
#include "ui/Language.h"
#include "ui/qt/QtFrontEnd.h"
#include "ui/qt/TextFit.h"

namespace {

using ui::qt::FormView;

struct Language {
  const char* name;
  std::uint16_t id;
};
const Language kLanguages[] = {{"English", platform::kLangEnglishUS},
                               {"Bokmal", platform::kLangNorwegianBokmal},
                               {"Nynorsk", platform::kLangNorwegianNynorsk}};

class TextFit : public ::testing::Test {
 protected:
  void SetUp() override { uitest::application(); }
  void TearDown() override {
    oracle::ResetLogonTexts();
    ui::SetLanguage(ui::Language::English);
  }

  static void select(const Language& language) {
    oracle::ResetLogonTexts();
    oracle::SelectLanguageTexts(language.id);
    ui::SetLanguage(ui::LanguageFromId(language.id));
  }

  // Every visible text of the view, and its title, has the room it needs.
  static void expectAllTextsFit(FormView& view) {
    EXPECT_GE(view.width(), ui::qt::TitleBarWidth(view, view.windowTitle())) << "title";
    for (QLabel* label : view.findChildren<QLabel*>()) {
      if (!label->isVisibleTo(&view) || label->text().isEmpty()) continue;
      EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
          << label->text().toStdString();
      const QPoint right = label->mapTo(&view, QPoint(label->width(), 0));
      EXPECT_LE(right.x(), view.width()) << label->text().toStdString();
    }
    for (QPushButton* button : view.findChildren<QPushButton*>()) {
      if (!button->isVisibleTo(&view)) continue;
      EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()))
          << button->text().toStdString();
    }
  }
};

TEST_F(TextFit, EveryDialogShowsItsTextsWholeInEachLanguage) {
  using namespace oracle;
  const ui::Picture picture{4, 100, std::vector<std::uint32_t>(400, 0xFF3050A0u)};
  const TLogonOptions everything{ldDatabase, ldDatabaseList, ldLogonHistory, ldConnectAs};
  for (const Language& language : kLanguages) {
    SCOPED_TRACE(language.name);
    select(language);
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<ui::Form>()>>> dialogs{
        {"logon",
         [&] {
           auto form = std::make_unique<TLogOnForm>();
           TOracleSession session(nullptr);
           form->PrepareLogon(
               session, 8, picture, everything,
               [] { return std::optional<std::vector<std::string>>({"ORCL"}); },
               [] { return true; });
           return std::unique_ptr<ui::Form>(std::move(form));
         }},
        {"password change",
         [&] {
           auto form = std::make_unique<TLogOnForm>();
           form->PreparePasswordChange(LogonTexts().PasswordExpiredText, picture);
           return std::unique_ptr<ui::Form>(std::move(form));
         }},
        {"main", [] { return std::unique_ptr<ui::Form>(std::make_unique<app::TFormMain>()); }},
    };
    for (const auto& [name, make] : dialogs) {
      SCOPED_TRACE(name);
      const std::unique_ptr<ui::Form> form = make();
      FormView view(*form);
      view.prepareShow();
      expectAllTextsFit(view);
    }
  }
}

TEST_F(TextFit, ADialogGrowsOnlyWhereItsTextsNeedIt) {
  // The English logon dialog fits its design; a caption far longer than the dialog widens it
  // just to the title's need.
  oracle::ResetLogonTexts();
  oracle::TLogOnForm form;
  oracle::TOracleSession session(nullptr);
  form.PrepareLogon(session, 8, {}, {oracle::ldDatabase}, {}, {});
  FormView view(form);
  view.prepareShow();
  const ui::qt::Scale scale(form.designPixelsPerInch, view.logicalDpiX());
  EXPECT_EQ(view.width(), scale(form.clientWidth));

  form.caption = "Logon to the production database of the accounting department";
  view.prepareShow();
  EXPECT_EQ(view.width(), ui::qt::TitleBarWidth(view, view.windowTitle()));
}

TEST_F(TextFit, MessageBoxesFitTheirTitleAndSpeakTheUsersLanguage) {
  ui::qt::QtPort port;
  const ui::ScopedPort installed(port);
  for (const Language& language : kLanguages) {
    SCOPED_TRACE(language.name);
    select(language);
    QTranslator translator;
    const bool translated = ui::qt::LoadQtTranslation(translator, ui::CurrentLanguage());
    EXPECT_EQ(translated, language.id != platform::kLangEnglishUS)
        << "Qt's translations are missing (Debian package qt6-translations-l10n)";
    if (translated) QCoreApplication::installTranslator(&translator);

    port.SetApplicationTitle("Databaseinnlogging for brukarstøtta");
    QString title, yes, no;
    int width = 0, titleNeed = 0;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      box->adjustSize();
      width = box->width();
      titleNeed = ui::qt::TitleBarWidth(*box, box->windowTitle());
      box->button(QMessageBox::Ok)->click();
    });
    port.ShowMessage(oracle::LogonTexts().VerificationFailedText);
    EXPECT_GE(width, titleNeed);

    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      title = box->windowTitle();
      yes = box->button(QMessageBox::Yes)->text().remove(QLatin1Char('&'));
      no = box->button(QMessageBox::No)->text().remove(QLatin1Char('&'));
      box->button(QMessageBox::No)->click();
    });
    port.AskYesNo(oracle::LogonTexts().ChangePasswordNowText);
    QCoreApplication::removeTranslator(&translator);
    const bool english = language.id == platform::kLangEnglishUS;
    EXPECT_EQ(title.toStdString(), english                                         ? "Confirm"
                                   : language.id == platform::kLangNorwegianBokmal ? "Bekreft"
                                                                                   : "Stadfest");
    EXPECT_EQ(yes.toStdString(), english ? "Yes" : "Ja");
    EXPECT_EQ(no.toStdString(), english ? "No" : "Nei");
  }
}

}  // namespace
