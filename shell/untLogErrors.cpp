#include "shell/untLogErrors.h"

#include <QAbstractListModel>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/OutputFile.h"
#include "core/OutputRule.h"
#include "shell/LogWindows.h"

namespace tessaly {

namespace {

// The list box reads the window's own lines; an error list of a million lines
// costs no copy into the view.
class LinesModel : public QAbstractListModel {
 public:
  LinesModel(const std::vector<std::string>& lines, QObject* parent) : QAbstractListModel(parent), lines_(lines) {}
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const std::string& line = lines_[static_cast<std::size_t>(index.row())];
    return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
  }

 private:
  const std::vector<std::string>& lines_;
};

QString AskSaveFileName(QWidget* parent) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("Save"), QString(),
                                      QStringLiteral("Text files (*.txt);;All files (*)"));
}

}  // namespace

TfrmLogErrors::TfrmLogErrors(QWidget* owner, std::vector<std::string> errorLines)
    : QDialog(owner, Qt::Window | Qt::WindowStaysOnTopHint), lines_(std::move(errorLines)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Errors"));
  setModal(false);
  resize(520, 420);

  lsbErrors = new QListView(this);
  lsbErrors->setObjectName(QStringLiteral("lsbErrors"));
  lsbErrors->setUniformItemSizes(true);
  lsbErrors->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lsbErrors->setModel(new LinesModel(lines_, lsbErrors));

  btnSave = new QPushButton(QStringLiteral("Save"), this);
  btnSave->setObjectName(QStringLiteral("btnSave"));
  btnClose = new QPushButton(QStringLiteral("Close"), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  connect(btnSave, &QPushButton::clicked, this, &TfrmLogErrors::btnSaveClick);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::close);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnSave);
  buttons->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lsbErrors);
  layout->addLayout(buttons);

  ChooseSaveFile = AskSaveFileName;
  ShowError = [this](const QString& message) { QMessageBox::warning(this, QStringLiteral("Error"), message); };

  if (owner) move(owner->window()->frameGeometry().center() - rect().center());
}

std::string TfrmLogErrors::SaveTo(const std::string& path) const {
  const OutputVerdict verdict = CheckOutput(WriteKind::Export, path, "The error list file", FilesOfOpenWindows());
  if (!verdict.MayWrite()) return verdict.message;
  return ReplaceWithLines(path, lines_);
}

void TfrmLogErrors::btnSaveClick() {
  const QString path = ChooseSaveFile(this);
  if (path.isEmpty()) return;
  const std::string error = SaveTo(path.toStdString());
  if (!error.empty()) ShowError(QString::fromStdString(error));
}

}  // namespace tessaly
