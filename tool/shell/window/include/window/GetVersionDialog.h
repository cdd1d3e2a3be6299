// "Get Version": asks before it sends. "Yes" runs the version query with the panel's port and
// command number on the job worker and closes; "No" closes and sends nothing. While the query
// runs the dialog cannot be closed.
#pragma once

#include "settings/ProfileFile.h"
#include "window/JobDialog.h"
#include "window/ToolBundle.h"
#include "window/WindowHooks.h"

class QPushButton;

namespace shell {

class GetVersionDialog final : public JobDialog {
  Q_OBJECT

 public:
  GetVersionDialog(const ToolBundle& bundle, DialogRunner runModal, QWidget* parent);

  QPushButton* YesButton() const { return yes_; }
  QPushButton* NoButton() const { return no_; }

  void OnYes();

  ToolBundle bundle_;
  settings::ProfileFile settings_;
  DialogRunner runModal_;
  QPushButton* yes_;
  QPushButton* no_;
};

}  // namespace shell
