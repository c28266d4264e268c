// Any bytes as a show's timecode list file. What must hold:
// - the rows are in time order and each reads back from its own line;
// - the bad lines are named once each, by a line number of the file, in order;
// - the text written reads back to the same rows and the same text (nothing lost,
//   nothing added: comments and bad lines stay);
// - an edit taken back with undo leaves the text as it was.

#include "fuzz_support.h"
#include "timecode/timecode_list.h"

using namespace tavrelia;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(fuzz::bytesOf(data, size));
    TimecodeList list;
    list.setText(text);
    const QList<TimecodeList::Row> rows = list.rows();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        FUZZ_REQUIRE(i == 0 || !(rows[i].time < rows[i - 1].time));
        FUZZ_REQUIRE(TimecodeList::parseRow(TimecodeList::rowText(rows[i])) == rows[i]);
    }
    const qsizetype lines = text.count(QLatin1Char('\n')) + 1;
    int previous = 0;
    for (const TimecodeList::Fault& fault : list.faults()) {
        FUZZ_REQUIRE(fault.line > previous && fault.line <= lines);
        previous = fault.line;
    }
    const QString written = list.text();
    TimecodeList again;
    again.setText(written);
    FUZZ_REQUIRE(again.rows() == rows);
    FUZZ_REQUIRE(again.text() == written);

    if (!rows.isEmpty()) {
        list.change(0, {{23, 59, 59, 29}, QStringLiteral("go"), QStringLiteral("3")});
        list.remove(int(list.size() - 1));
        FUZZ_REQUIRE(list.undo() && list.undo());
        FUZZ_REQUIRE(list.text() == written);
    }
    return 0;
}
