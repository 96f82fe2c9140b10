// The main window of a first run, shown and active, for the window-level tests: the
// settings come from TempSettings, every box is answered by FakeDialogs. Documents left
// modified are closed without a question at the end.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/main_u.h"
#include "document/child_u.h"
#include "editor/text_model.h"
#include "support/fake_dialogs.h"
#include "support/temp_settings.h"

namespace scrivle::test {

// Closes the window without asking about modified documents.
inline void closeQuietly(std::unique_ptr<Tmain>& main) {
  if (main) {
    for (TChild* c : main->children()) c->model().setModified(false);
    main.reset();
  }
}

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = std::make_unique<Tmain>(dialogs_);
    main_->show();
    main_->FormActivate();
  }
  void TearDown() override { closeQuietly(main_); }

  std::filesystem::path docs() const { return settings_.docs(); }

  TempSettings settings_;
  const std::filesystem::path dir_ = settings_.dir();
  FakeDialogs dialogs_;
  std::unique_ptr<Tmain> main_;
};

}  // namespace scrivle::test
