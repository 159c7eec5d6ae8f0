#include "modes/line_use.h"

#include "ui/timer.h"

namespace modes {

bool ModesHoldTheLine(const hart::SessionState& session, const TTimer& Timer3) {
    return session.registrationRunning || Timer3.Enabled();
}

const QString kScanHoldsTheLine =
    QStringLiteral("Идет поиск датчиков. Остановите поиск, чтобы начать обмен с датчиками.");
const QString kModesHoldTheLine = QStringLiteral(
    "Линия занята: идет обмен в режиме настройки или регистрации. Дождитесь ответа или "
    "остановите регистрацию.");

}  // namespace modes
