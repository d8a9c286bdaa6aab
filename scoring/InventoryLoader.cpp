#include "scoring/InventoryLoader.h"

#include "core/InventoryLayout.h"
#include "scoring/FieldReader.h"
#include "scoring/InventoryFiles.h"
#include "scoring/LineReader.h"
#include "scoring/Scales.h"

#include <memory>
#include <string_view>
#include <utility>

namespace orvj {
namespace {

using InventoryLayout::SectionEnd;
using InventoryLayout::SectionOptions;

// One inventory file of the program folder, found by its name and read whole.
template <class Reader> Reader openFile(const std::filesystem::path& home, std::string_view name) {
    auto path = InventoryFiles::locate(home, name);
    std::string bytes = InventoryFiles::readBytes(path);
    return Reader(std::move(path), std::move(bytes));
}

std::string group(int sex, int race) {
    return std::string(sex == 1 ? "male" : "female") + " norms, race group " + std::to_string(race);
}

void readSignificantItems(FieldReader& f, ScoringTables& t) {
    for (int k = 1; k <= ScoringTables::kSignificantItems; ++k) {
        t.significantItems[static_cast<std::size_t>(k)] =
            static_cast<std::int16_t>(f.numberInRange(1, InventoryLayout::kItemCount, [k] {
                return "item number of significant-item entry " + std::to_string(k) + " of " +
                       std::to_string(ScoringTables::kSignificantItems);
            }));
    }
}

void readStatements(LineReader& r, ReportTexts& texts) {
    for (int k = 1; k <= ReportTexts::kStatements; ++k) {
        texts.statements[static_cast<std::size_t>(k)] =
            r.nextOr([k] { return "significant-item statement " + std::to_string(k) + " of 89"; });
    }
    for (int k = 1; k <= ReportTexts::kStressorStatements; ++k) {
        texts.stressorStatements[static_cast<std::size_t>(k)] = r.nextOr([k] {
            return "social-stressor statement " + std::to_string(k) + " of 48 (line " +
                   std::to_string(ReportTexts::kStatements + k) + " of 137)";
        });
    }
}

void readAnswerKeys(FieldReader& f, ScoringTables& t) {
    for (int s : {1, 3, 4, 5}) {
        const auto items = static_cast<std::size_t>(SectionEnd[static_cast<std::size_t>(s)] -
                                                    SectionEnd[static_cast<std::size_t>(s - 1)]);
        for (int r = 0; r <= SectionOptions[static_cast<std::size_t>(s)]; ++r) {
            auto what = [s, r, items] {
                return "answer key of section " + std::to_string(s) + " for response " +
                       std::to_string(r) + ", " + std::to_string(items) + " digits";
            };
            std::string key = f.text(what);
            if (key.size() != items) {
                f.fail(ErrorCode::InputPastEnd, "the key holds " + std::to_string(key.size()) +
                                                    " characters (" + what() + ")");
            }
            for (std::size_t p = 0; p < key.size(); ++p) {
                if (key[p] < '0' || key[p] > '9') {
                    f.fail(ErrorCode::TypeMismatch, "character " + std::to_string(p + 1) +
                                                        " of the key is not a digit (" + what() +
                                                        ")");
                }
            }
            t.answerKey[static_cast<std::size_t>(s)][static_cast<std::size_t>(r)] = std::move(key);
        }
    }
}

void readNorms(FieldReader& f, ScoringTables& t) {
    for (int sex = 1; sex <= 2; ++sex) {
        for (int race = 1; race <= 3; ++race) {
            for (int scale : Scales::kKeyed) {
                const auto sc = static_cast<std::size_t>(scale);
                const auto rg = static_cast<std::size_t>(race);
                const auto sg = static_cast<std::size_t>(sex);
                const int maxRaw = f.numberInRange(0, ScoringTables::kMaxRawScore, [&] {
                    return std::string("highest tabulated raw score of ") + Scales::name(scale) +
                           ", " + group(sex, race);
                });
                t.maxRaw[sc][rg][sg] = static_cast<std::int16_t>(maxRaw);
                for (int raw = 1; raw <= maxRaw; ++raw) {
                    t.percentileTable[sc][static_cast<std::size_t>(raw)][rg][sg] =
                        static_cast<std::int16_t>(f.numberInRange(0, 99, [&] {
                            return "percentile of raw score " + std::to_string(raw) + " of " +
                                   Scales::name(scale) + ", " + group(sex, race);
                        }));
                }
            }
        }
    }
}

template <std::size_t N, class Percentiles>
void readIntervals(FieldReader& f, const char* scaleName, int boundCount,
                   std::array<std::int16_t, N>& bounds, Percentiles& percentiles) {
    for (int k = 1; k <= boundCount; ++k) {
        bounds[static_cast<std::size_t>(k)] = f.number([&] {
            return std::string(scaleName) + " interval bound " + std::to_string(k) + " of " +
                   std::to_string(boundCount);
        });
    }
    for (int sex = 1; sex <= 2; ++sex) {
        for (int race = 1; race <= 3; ++race) {
            for (int k = 1; k < boundCount; ++k) {
                percentiles[static_cast<std::size_t>(sex)][static_cast<std::size_t>(race)]
                           [static_cast<std::size_t>(k)] =
                               static_cast<std::int16_t>(f.numberInRange(0, 99, [&] {
                                   return std::string(scaleName) + " percentile of interval " +
                                          std::to_string(k) + " of " +
                                          std::to_string(boundCount - 1) + ", " + group(sex, race);
                               }));
            }
        }
    }
}

void readQuestionLines(LineReader& r, ReportTexts& texts) {
    for (int item = 1; item <= SectionEnd[4]; ++item) {
        std::string_view line =
            r.nextOr([item] { return "the question line of item " + std::to_string(item); });
        if (item >= ReportTexts::kFirstHeldQuestion) {
            texts.questionLines[static_cast<std::size_t>(item - ReportTexts::kFirstHeldQuestion +
                                                         1)] = line;
        }
    }
}

void readItemLists(FieldReader& f, ScoringTables& t) {
    for (int scale : Scales::kKeyed) {
        auto& list = t.scaleItems[static_cast<std::size_t>(scale)];
        const int n = f.numberInRange(0, ScoringTables::kMaxListItems, [scale] {
            return std::string("number of items of ") + Scales::name(scale) + ", at most 50";
        });
        list[0] = static_cast<std::int16_t>(n);
        for (int p = 1; p <= n; ++p) {
            const int item = f.numberInRange(1, InventoryLayout::kItemCount, [&] {
                return "item " + std::to_string(p) + " of " + std::to_string(n) + " of " +
                       Scales::name(scale);
            });
            if (InventoryLayout::sectionOf(item) == 2) {
                f.fail(ErrorCode::SubscriptOutOfRange,
                       "item " + std::to_string(item) + " of " + Scales::name(scale) +
                           " is in section 2, which has no answer key");
            }
            list[static_cast<std::size_t>(p)] = static_cast<std::int16_t>(item);
        }
    }
}

void readKeyItems(FieldReader& f, ScoringTables& t) {
    for (int k = 1; k <= ScoringTables::kKeyItems; ++k) {
        t.keyItems[static_cast<std::size_t>(k)] =
            static_cast<std::int16_t>(f.numberInRange(1, InventoryLayout::kItemCount, [k] {
                return "key item " + std::to_string(k) + " of 72";
            }));
    }
}

void readTruthAdjust(FieldReader& f, ScoringTables& t) {
    for (int band = 1; band <= ScoringTables::kTruthBands; ++band) {
        for (int scale = 2; scale <= Scales::kCount; ++scale) {
            t.truthAdjust[static_cast<std::size_t>(scale)][static_cast<std::size_t>(band)] =
                f.number([&] {
                    return std::string("Truthfulness correction of ") + Scales::name(scale) +
                           " for band " + std::to_string(band);
                });
        }
    }
}

std::string readPublisher(const std::filesystem::path& home) {
    LineReader r = openFile<LineReader>(home, InventoryFiles::kPublisher);
    return std::string(r.next("the publisher's name and address line"));
}

} // namespace

Inventory loadInventory(const std::filesystem::path& home) {
    // Built on the heap: clang 14 with coverage instrumentation (the fuzzing build) crashes
    // on a default-initialised local of this size.
    const auto built = std::make_unique<Inventory>();
    Inventory& inv = *built;
    LineReader statements = openFile<LineReader>(home, InventoryFiles::kStatements);
    FieldReader table = openFile<FieldReader>(home, InventoryFiles::kScoringTable);

    readSignificantItems(table, inv.scoring);
    readStatements(statements, inv.texts);
    readAnswerKeys(table, inv.scoring);
    readNorms(table, inv.scoring);
    readIntervals(table, "STRESS COPING", ScoringTables::kStressBounds, inv.scoring.stressBounds,
                  inv.scoring.stressPercentile);
    readIntervals(table, "SELF-ESTEEM", ScoringTables::kEsteemBounds, inv.scoring.esteemBounds,
                  inv.scoring.esteemPercentile);

    LineReader questions = openFile<LineReader>(home, InventoryFiles::kQuestions);
    readQuestionLines(questions, inv.texts);

    readItemLists(table, inv.scoring);
    readKeyItems(table, inv.scoring);
    readTruthAdjust(table, inv.scoring);

    inv.texts.publisher = readPublisher(home);
    // Read now, parsed when a report needs them: a missing file fails only such a report.
    for (int n = 1; n <= ReportTexts::kParagraphFiles; ++n) {
        inv.texts.paragraphFiles[static_cast<std::size_t>(n)] =
            HeldFile::read(InventoryFiles::locate(home, Scales::paragraphFile(n)));
    }
    inv.texts.invalidExplanation =
        HeldFile::read(InventoryFiles::locate(home, InventoryFiles::kInvalidExplanation));
    return std::move(inv);
}

} // namespace orvj
