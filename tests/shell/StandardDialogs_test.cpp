// The save dialog of an export: its filters are the format registry's, and
// the filter chosen gives a bare name its extension, which decides the
// format.
#include "shell/StandardDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/ExportFormats.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

TEST(ExportSaveDialog, OffersEveryFormatOfTheRegistry) {
  const QStringList filters = DialogFilters(QString::fromStdString(SaveDialogFilter()));
  EXPECT_EQ(filters, QStringList({"Valid Data Grid (*.vdg)", "Geosoft XYZ (*.xyz)", "CSV (*.csv)",
                                  "GeoJSON (*.geojson)", "KML (*.kml)"}));
  for (const QString& filter : filters) {
    const QString suffix = SuffixOfFilter(filter);
    EXPECT_EQ(FormatOfPath("survey." + suffix.toStdString()).name, suffix.toStdString()) << filter.toStdString();
  }
}

TEST(SuffixOfFilter, TheFirstPatternsExtension) {
  EXPECT_EQ(SuffixOfFilter("Geosoft XYZ (*.xyz)"), "xyz");
  EXPECT_EQ(SuffixOfFilter("Logs (*.kvl *.kvs)"), "kvl");
  EXPECT_EQ(SuffixOfFilter("Everything (*)"), "");
  EXPECT_EQ(SuffixOfFilter("Everything (*.*)"), "");
}

// A user who picks "Geosoft XYZ" and types a bare name gets a .xyz file.
TEST(ExportSaveDialog, TheChosenFilterGivesABareNameItsExtension) {
  testing::TempHome home;
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(types, nullptr);
    ASSERT_NE(name, nullptr);
    const int xyz = types->findText(QStringLiteral("Geosoft XYZ (*.xyz)"));
    types->setCurrentIndex(xyz);
    emit types->activated(xyz);  // as a user's choice in the list signals it
    emit types->textActivated(types->itemText(xyz));
    name->setText(QStringLiteral("survey"));
    static_cast<QDialog*>(dialog)->accept();
  });
  const QString chosen =
      AskSaveFileName(nullptr, QStringLiteral("Export"), QString::fromStdString(home.Home()),
                      QString::fromStdString(SaveDialogFilter()), QStringLiteral("vdg"));
  EXPECT_EQ(chosen.toStdString(), home.Path("survey.xyz"));
}

}  // namespace
}  // namespace tessaly
