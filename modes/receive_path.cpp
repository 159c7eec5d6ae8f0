#include "modes/receive_path.h"

#include "modes/setup_transaction.h"
#include "ui/timer.h"

namespace modes {

ReceivePath::ReceivePath(hart::ProgramState& state, const ReceivePathControls& controls,
                         hart::ResponseCollector::Clock now)
    : decoders_(commands::DecoderContext{
          .state = state,
          .StringGrid1 = controls.StringGrid1,
          .StringGrid2 = controls.StringGrid2,
          .ComboBox2 = controls.ComboBox2,
          .CheckBox1 = controls.CheckBox1,
          .Form5 = controls.Form5,
          .Form10 = controls.Form10,
          .protocol = controls.protocol,
          .readings = controls.readings,
      }),
      dispatcher_(
          state,
          hart::DispatchControls{
              .Memo1 = controls.Memo1,
              .StringGrid1 = controls.StringGrid1,
              .ComboBox1 = controls.ComboBox1,
              .slotTimers = controls.slotTimers,
              .lamps = controls.lamps,
          },
          decoders_,
          [&session = state.session, &Timer3 = controls.Timer3, &Button1 = controls.Button1] {
              Timer3.SetEnabled(false);
              EndSetupTransaction(session, Button1);
          }),
      collector_(
          state.receive, controls.Memo1, [this] { dispatcher_.DispatchResponse(); },
          std::move(now)) {}

}  // namespace modes
