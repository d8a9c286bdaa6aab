#include "session/AnswerHints.h"

namespace orvj {

std::string AnswerHints::question() const {
    if (m_spanish) {
        return "Oprima las teclas de flechas Hacia Arriba o Hacia Abajo para iluminar su "
               "respuesta. Luego oprima la tecla «Enter». Oprima la tecla «F10» para ver la "
               "pregunta anterior.";
    }
    return "Use Up or Down arrow keys to highlight answer, then press Enter. Press the F10 key "
           "to go back to the previous question.";
}

std::string AnswerHints::option() const {
    if (m_spanish) {
        return m_audioAvailable ? "Escoja una respuesta y oprima la tecla «Enter». Puede utilizar "
                                  "la tecla «Tab» para que le repitan la pergunta."
                                : "Escoja una respuesta y oprima la tecla «Enter».";
    }
    return m_audioAvailable
               ? "Press enter to select this answer. Press Tab or Arrows to hear question again."
               : "Press enter to select this answer.";
}

} // namespace orvj
