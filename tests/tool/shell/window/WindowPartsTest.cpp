#include <QFont>
#include <QFontMetrics>
#include <QRawFont>
#include <QTextLayout>

#include <gtest/gtest.h>

#include "window/FileFilter.h"
#include "window/ProgramOptions.h"
#include "window/WindowPlacement.h"

namespace {

using Filters = std::vector<std::string>;

TEST(FileFilterTest, PairsBecomeQtFilters) {
  EXPECT_EQ(shell::ToQtFilters("VOP files (*.vop)|*.vop||"), Filters{"VOP files (*.vop)"});
  EXPECT_EQ(shell::ToQtFilters("Demo print data files (*.vop)|*.vop|All files (*.*)|*.*||"),
            (Filters{"Demo print data files (*.vop)", "All files (*.*)"}));
  EXPECT_EQ(shell::ToQtFilters("Pictures|*.bmp;*.png||"), Filters{"Pictures (*.bmp *.png)"});
  EXPECT_EQ(shell::ToQtFilters(""), Filters{});
}

TEST(WindowPlacementTest, OffDesktopCoordinatesBecomeZero) {
  EXPECT_EQ(shell::PlaceOnDesktop({-20, 10}, 800, 600), (shell::Position{0, 10}));
  EXPECT_EQ(shell::PlaceOnDesktop({750, 549}, 800, 600), (shell::Position{0, 549}));
  EXPECT_EQ(shell::PlaceOnDesktop({749, 550}, 800, 600), (shell::Position{749, 0}));
}

TEST(ProgramOptionsTest, SettingsFileSplashAndMistakes) {
  const auto plain = shell::ParseProgramOptions({"zarnik"});
  EXPECT_EQ(plain.action, shell::ProgramOptions::Action::kRun);
  EXPECT_FALSE(plain.settingsFile);
  EXPECT_TRUE(plain.showSplash);

  const auto given =
      shell::ParseProgramOptions({"zarnik", "--settings", "/tmp/a.INI", "--no-splash"});
  EXPECT_EQ(given.settingsFile, std::filesystem::path("/tmp/a.INI"));
  EXPECT_FALSE(given.showSplash);

  EXPECT_EQ(shell::ParseProgramOptions({"zarnik", "--bogus"}).action,
            shell::ProgramOptions::Action::kFail);
  EXPECT_EQ(shell::ParseProgramOptions({"zarnik", "--settings"}).action,
            shell::ProgramOptions::Action::kFail);
  EXPECT_EQ(shell::ParseProgramOptions({"zarnik", "extra"}).action,
            shell::ProgramOptions::Action::kFail);
  EXPECT_EQ(shell::ParseProgramOptions({"zarnik", "--no-splash", "--version"}).action,
            shell::ProgramOptions::Action::kShowVersion);
  const auto help = shell::ParseProgramOptions({"zarnik", "--help"});
  EXPECT_EQ(help.action, shell::ProgramOptions::Action::kShowHelp);
  EXPECT_TRUE(help.message.contains("--settings"));
  EXPECT_FALSE(help.message.contains("screenshot"));
  // Answered without a display, the help cannot list Qt's options, so it promises no such list.
  EXPECT_FALSE(help.message.contains("help-all"));
  EXPECT_EQ(shell::ParseProgramOptions({"zarnik", "--help-all"}).message, help.message);
}

// The port library's Japanese texts and the full-width brackets of "Sum error（%02x）" are drawn
// with real glyphs: some installed font has every one of them.
TEST(GlyphsTest, JapaneseTextsAndFullWidthBracketsHaveGlyphs) {
  const QString text = QString::fromUtf8("LPT1ポートが のドライバで使用されています。（）");
  QTextLayout layout(text, QFont());
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  int shown = 0;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    for (const quint32 glyph : run.glyphIndexes()) {
      EXPECT_NE(glyph, 0U) << run.rawFont().familyName().toStdString();
      ++shown;
    }
  }
  EXPECT_EQ(shown, text.size());
}

}  // namespace
