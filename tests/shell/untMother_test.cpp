// The window with the message component that frees itself when closed.
#include "shell/untMother.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

#include "support/ShellTestHome.h"

namespace tessaly {
namespace {

TEST(WindowFamily, MotherStartsWithAWarningMessageWithoutButtonsAndFreesItselfWhenClosed) {
  testing::ShellTestHome home;
  QPointer<TfrmMother> window = new TfrmMother;
  EXPECT_TRUE(window->msgMenssage->Botoes.Empty());
  EXPECT_EQ(window->msgMenssage->Estilo, TMsgDlgType::mtWarning);
  window->show();
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace tessaly
