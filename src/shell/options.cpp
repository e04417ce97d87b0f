#include "shell/options.h"

namespace quillon {

TQN_Options::TQN_Options() { SetUnitMode(umMM); }

TQN_Options::~TQN_Options() = default;

void TQN_Options::SetUnitMode(TUnitMode value) {
  UnitMode = value;
  LengthFormatSettings.UnitMode = value;
  LengthFormatSettings.InchDisplayMode = idmHybrid;
  LengthFormatSettings.InchDecimalDigits = 6;
  LengthFormatSettings.InchFractionDenom = 64;
  LengthFormatSettings.MmDecimalDigits = 2;
  if (value == umIN) {
    LengthFormatSettings.LargeTickInterval = 8;
    LengthFormatSettings.SmallTickInterval = 4;
  } else {
    LengthFormatSettings.LargeTickInterval = 10;
    LengthFormatSettings.SmallTickInterval = 5;
  }
}

}  // namespace quillon
