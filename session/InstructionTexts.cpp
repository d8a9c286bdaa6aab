#include "session/InstructionTexts.h"

#include <initializer_list>

namespace orvj::InstructionTexts {
namespace {

std::string lines(std::initializer_list<const char*> parts) {
    std::string out;
    bool first = true;
    for (const char* p : parts) {
        if (!first) {
            out += "\r\n";
        }
        out += p;
        first = false;
    }
    return out;
}

std::string english(int screen) {
    switch (screen) {
    case 0:
        return lines({
            "General Instructions",
            "",
            "The Orvell - Juvenile (ORV-Juvenile) is designed to help "
            "identify your  concerns and needs. Your cooperation and truthfulness while "
            "completing the ORV-Juvenile are important. ",
            "",
            "The ORV-Juvenile should be answered in terms of your present "
            "situation and how you feel now or how you felt in the past month. ",
            "",
            "A series of questions will be presented and for each question you "
            "should choose the answer that is accurate for you. Once your answer is selected, "
            "depress the Down Arrow key to highlight the answer you selected, "
            "and then press the Enter key. An answer is highlighted when it has "
            "light blue around it.",
            "",
            "You may use the Up and Down Arrow keys to change answers, but be sure "
            "the answer you selected is highlighted before you press the Enter key.  "
            "You may also use the Tab key to have the question repeated.",
            "",
            "If you have any questions, ask the testing supervisor for help.  When "
            "you understand these instructions, you may begin.  "
            "Press the Enter key to begin.",
        });
    case 1:
        return lines({
            "Section 1",
            "",
            "The following statements can be answered TRUE or FALSE.",
            "",
            "If a statement is TRUE highlight \"True\" then press Enter.",
            "",
            "If a statement is FALSE highlight \"False\" then press Enter.",
            "",
            "     Press Enter to begin.",
        });
    case 2:
        return lines({
            "Section 2",
            "Each of the following items contain a pair of opposite words (antonyms). Compare "
            "these opposite terms and decide which one is most accurate for you. Your answers "
            "should represent your self-rating as you believe the items apply to you now. "
            "For example, compare the terms Pleasant and Unpleasant. ",
            "",
            "      Pleasant  -  Unpleasant",
            "",
            "      Very Often Pleasant",
            "      Often Pleasant",
            "      Can't Decide",
            "      Often Unpleasant",
            "      Very Often Unpleasant",
            "",
            "If you are very often pleasant you would choose Very Often Pleasant, "
            "if often pleasant choose Often Pleasant.  "
            "If you can't decide between the opposite terms, choose Can't Decide.  "
            "Similarly, if you are often unpleasant you would choose Often Unpleasant, "
            "if very often unpleasant choose Very Often Unpleasant.",
            "",
            "     Press Enter to begin.",
        });
    case 3:
        return lines({
            "Section 3",
            "",
            "The following statements are to be rated to "
            "describe yourself.  Rate each statement by selecting the answer that "
            "describes you best.  Answer each statement as it applies to you now. "
            "If necessary use the last month for your frame of reference.  For example:",
            "",
            "      Rare or Never",
            "      Sometimes",
            "      Often",
            "      Very Often",
            "",
            "Highlight the answer you select, then press Enter.",
            "",
            "     Press Enter to begin.",
        });
    case 4:
        return lines({
            "Section 4",
            "",
            "This section presents several available counseling programs. "
            "If you are presently involved in any of these programs, answer Yes "
            "to those items. And, if you want to participate in a program "
            "answer Yes. If you do not want to participate in a program, answer No. ",
            "",
            "If you want to participate highlight \"Yes\" then press Enter.",
            "",
            "If you do not want to participate highlight \"No\" then press Enter.",
            "",
            "     Press Enter to begin.",
        });
    case 5:
        return lines({
            "Section 5",
            "",
            "The following series of statements should be answered to describe yourself. "
            "Select the answer that is most accurate for you. Answer the questions as they "
            "apply to you now.",
            "",
            "Highlight the answer you select, then press Enter.",
            "",
            "",
            "     Press Enter to begin.",
        });
    default:
        return {};
    }
}

std::string spanish(int screen) {
    switch (screen) {
    case 0:
        return lines({
            "Instrucciones",
            "     Varias oraciones que aparecen en este cuaderno son de carácter íntimo.  "
            "Sus respuestas se mantendrán en secreto. Conteste cada oración de forma "
            "veraz y honesta. Se pudiera recurrir a sus expedientes judiciales o de "
            "tránsito para confirmar sus respuestas. De seguro se detectará cualquier "
            "deshonestidad.",
            "     Se le van a presentar varias preguntas. Lea cada oración con "
            "cuidado y escoja la contestación que más le acierte a usted. Una vez usted "
            "haya escogido su contestación, debe usted apretar la tecla con la flecha "
            "Hacia Abajo para así iluminar la contestación que usted ha escogido. "
            "Y luego apriete la tecla «Enter». La contestación se ilumina cuando tiene "
            "color azul claro brillando alrededor de ella.",
            "     Usted puede usar las flechas Hacia Arriba y Hacia Abajo en sus teclas "
            "para cambiar las contestaciones. Pero asegúrese de que la contestación que "
            "usted escoja esté iluminada antes de que usted apriete la tecla «Enter». "
            "Además, usted puede utilizar la tecla «Tab» para que le repitan la "
            "pregunta.",
            "     «El licor» o «la bebida» implica cerveza, vino u otros destilados. "
            "«Las drogas» significa tanto las recetadas como las sancionadas, tales "
            "como: la marihuana (fuma o mota), cocaína (coca o perico), «crack» (piedra), "
            "anfetaminas, barbitúricos y heroína.",
            "     Si tuviera alguna duda, pregúntele al encargado de administrar la prueba "
            "para que le ayude. Cuando entienda bien estas instrucciones, puede comenzar. "
            "Oprima la tecla «Enter» para comenzar.",
        });
    case 1:
        return "Las oraciones de esta sección deben contestarse con «Cierto» o "
               "«Falso». Si la oración es cierta, ilumine el área que "
               "dice «Cierto» y entonces apriete «Enter». Si la oración es falsa, "
               "ilumine el  área que dice «Falso» y entonces apriete «Enter». "
               "Oprima la tecla «Enter» para comenzar.";
    case 2:
        return "Las oraciones de esta sección deben describir su persona o circunstancias. "
               "Ilumine el número de la contestación que usted escoja y que más le acierte: "
               "1, 2, 3 ó 4. Luego oprima la tecla «Enter».";
    case 3:
        return lines({
            "Escoja la respuesta que más le acierte a usted al presente. "
            "Ilumine la respuesta que usted escoja en la pantalla y luego "
            "oprima la tecla «Enter». Use la escala de valores siguiente:",
            "",
            "            1. Rara vez o nunca",
            "            2. A veces",
            "            3. Seguido o a menudo",
            "            4. Muy seguido o muy a menudo",
        });
    // Sections 4 and 5 say in Spanish what the English screens say.
    case 4:
        return lines({
            "Sección 4",
            "",
            "Esta sección presenta varios programas de consejería disponibles. "
            "Si usted participa ahora en alguno de estos programas, conteste «Sí» "
            "a esas preguntas. También, si usted quiere participar en un programa, "
            "conteste «Sí». Si usted no quiere participar en un programa, conteste «No». ",
            "",
            "Si usted quiere participar, ilumine «Sí» y luego oprima la tecla «Enter».",
            "",
            "Si usted no quiere participar, ilumine «No» y luego oprima la tecla «Enter».",
            "",
            "     Oprima la tecla «Enter» para comenzar.",
        });
    case 5:
        return lines({
            "Sección 5",
            "",
            "Conteste la siguiente serie de oraciones para describir su persona. "
            "Escoja la respuesta que más le acierte a usted. Conteste las preguntas "
            "según se aplican a usted al presente.",
            "",
            "Ilumine la respuesta que usted escoja y luego oprima la tecla «Enter».",
            "",
            "",
            "     Oprima la tecla «Enter» para comenzar.",
        });
    default:
        return {};
    }
}

} // namespace

std::string text(bool isSpanish, int screen) {
    return isSpanish ? spanish(screen) : english(screen);
}

std::string helpLine(bool isSpanish, int screen) {
    if (isSpanish && screen >= 0 && screen <= 3) {
        return "Oprima la tecla «Enter» para comenzar.";
    }
    return {};
}

std::string soundFile(int screen) {
    if (screen < 0 || screen >= kScreenCount) {
        return {};
    }
    return "Inst" + std::to_string(screen) + ".wav";
}

} // namespace orvj::InstructionTexts
