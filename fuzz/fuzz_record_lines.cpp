// Record files and list pages on arbitrary bytes: every rewrite keeps the
// file well-formed, and no page leaks raw markup from a record.
#include "records/record_format.h"
#include "records/record_list_page.h"

#include <cstdlib>

using namespace qarvel::records;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const qint64 n = size ? data[0] % 8 : 1;

    for (const RecordFile kind : {RecordFile::Network, RecordFile::Local}) {
        const QByteArray page = RenderRecordList(file, kind);
        if (!page.endsWith("</script></body></html>\r\n\r\n")) std::abort();
        // One table only: a record cannot close it or open a script.
        if (page.count("</table>") != 1 || page.count("<script") != 1) std::abort();
    }

    const QByteArray added = withNetworkRecordAdded(file, NetworkRecord{n, "t", "e", "a", 0, 0, 0});
    if (!added.startsWith(QByteArray::number(n) + "|t|e|a|0|0|0\r\n") || !added.endsWith("\r\n")) std::abort();
    if (added.count('\n') > kKeptLinesOnAdd + 2) std::abort();

    if (const auto updated = withNetworkProgress(file, n, 42)) {
        if (!updated->endsWith("\r\n")) std::abort();
    }
    (void)withLocalProgress(file, "/p", 1);
    if (const auto deleted = withLineDeleted(file, n)) {
        if (!deleted->endsWith("\r\n")) std::abort();
    }
    (void)splitRecordLine(file);
    return 0;
}
