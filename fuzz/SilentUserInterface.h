// A user interface that takes every message and declines every confirmation.
#pragma once

#include "flashtools/UserInterface.h"

class SilentUserInterface final : public flashtools::UserInterface {
 public:
  void ShowMessage(std::string_view /*text*/, std::string_view /*caption*/,
                   flashtools::MessageIcon /*icon*/) override {}
  bool Confirm(std::string_view /*text*/, std::string_view /*caption*/,
               flashtools::MessageIcon /*icon*/) override {
    return false;
  }
};
