#include "session/EndOfTest.h"

namespace orvj {

EndOfTest::Outcome EndOfTest::store(ClientTable& clients, const std::string& responses,
                                    const RecordWriter& writer, const TryAgain& tryAgain) {
    const auto storeAnswers = [&](ClientRecord& record) {
        record.set(ClientRecord::Field::Responses, responses);
    };
    Outcome outcome = Outcome::Stored;
    for (;;) {
        const RecordSave save = clients.saveCurrent(storeAnswers, writer);
        if (save.saved) {
            break;
        }
        if (!tryAgain(save.fault)) {
            storeAnswers(clients.current());
            outcome = Outcome::KeptInMemory;
            break;
        }
    }
    clients.countNewTest();
    return outcome;
}

} // namespace orvj
