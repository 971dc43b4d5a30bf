// The document of a job: a device context on the job's copy of the selected printer, pages of
// converted lines, and the empty pages a double-sided job needs.
#include "dotpress/core/print_session.h"

#include "dotpress/core/translation.h"

#include <cstring>

namespace dotpress {

namespace {
constexpr char16_t kFilePort[] = u"FILE:";
} // namespace

PrintSession::PrintSession()
    : jobRecord(nullptr), dc(nullptr), pageOpen(0), pageLines(0), y(0), lineHeight(0),
      charWidth(0), lineBuffer{}, lineLength(0) {}

PrintSession::~PrintSession() {
    // An open job holds a reference on the library, so none is open when the library goes; and
    // the loader lock held then forbids the GDI calls that would end one. Only our memory goes.
    freeRecord(jobRecord);
    jobRecord = nullptr;
}

int32_t PrintSession::beginDocument(const char* name, bool sheet) {
    testSheet = sheet;
    jobRecord = copyRecord(selectedRecord());
    if (!jobRecord) {
        return STATUS_NO_DC;
    }
    if (options.printToFile == 1) {
        copyName(jobRecord->port, kFilePort);
    }
    if (options.adjustBothSides == 1) {
        jobRecord->params.paperFormat = jobRecord->customFormat;
        jobRecord->params.columns = static_cast<int16_t>(areaColumns + (binding == 1 ? 2 : 0));
    }
    jobRecord->params.reserved = 0;
    setPrinterParams(*jobRecord);

    dc = os::CreateDCW(jobRecord->driver, jobRecord->name, jobRecord->port,
                       trustedDevMode(*jobRecord));
    if (!dc) {
        releaseJob();
        return STATUS_NO_DC;
    }

    size_t n = 0;
    for (; name && name[n] && n + 1 < sizeof documentName / sizeof documentName[0]; ++n) {
        documentName[n] = static_cast<unsigned char>(name[n]);
    }
    documentName[n] = 0;
    docInfo = os::DOCINFOW{};
    docInfo.cbSize = sizeof(os::DOCINFOW);
    docInfo.lpszDocName = documentName;
    // Windows takes the output of a printer DC from the document, not from CreateDCW: without
    // this the job would go to the printer's own port instead of the file the user asked for.
    docInfo.lpszOutput = options.printToFile == 1 ? kFilePort : nullptr;

    const int started = os::StartDocW(dc, &docInfo);
    if (started < 0) {
        releaseJob();
        return started == os::SP_ERROR ? STATUS_SPOOLER_ERROR : STATUS_START_DOC_FAILED;
    }
    pageOpen = 0;
    queryFontMetrics();
    return STATUS_OK;
}

namespace {

int OS_CALLBACK fontMetricsProc(const os::LOGFONTW* font, const void*, os::DWORD, os::LPARAM data) {
    auto* session = reinterpret_cast<PrintSession*>(data);
    session->lineHeight = font->lfHeight;
    session->charWidth = font->lfWidth;
    return 0; // the first font is the one
}

} // namespace

void PrintSession::queryFontMetrics() {
    os::LOGFONTW font{};
    font.lfCharSet = os::DEFAULT_CHARSET;
    os::EnumFontFamiliesExW(dc, &font, fontMetricsProc, reinterpret_cast<os::LPARAM>(this), 0);
}

int32_t PrintSession::printLine(const char* line) {
    if (!dc) {
        return STATUS_NOT_OPEN;
    }
    if (pageOpen == 0) {
        startPage();
    }
    convertLine(line);
    os::TextOutA(dc, binding == 1 && !testSheet ? charWidth : 0, y, lineBuffer, lineLength);
    pageLines = static_cast<int16_t>(pageLines + 1);
    y += lineHeight;
    if (fillsPage(pageLines, areaLines)) {
        endPage();
    }
    return STATUS_OK;
}

void PrintSession::convertLine(const char* line) {
    constexpr size_t kMaxText = kLineBufferBytes - 1;
    size_t length = 0;
    // Characters the line loses: what does not fit the line buffer is lost as surely as what
    // the area cuts, and both are told.
    size_t lost = 0;
    if (line) {
        if (ansiTable == 1) {
            while (length < kMaxText && line[length]) {
                lineBuffer[length] = line[length];
                ++length;
            }
            lost = std::strlen(line + length);
        } else {
            const char* p = line;
            size_t dropped = 0;
            for (; *p && length < kMaxText; ++p) {
                const auto byte = static_cast<unsigned char>(*p);
                if (byte >= 32) {
                    lineBuffer[length++] = static_cast<char>(translationTable[byte]);
                } else {
                    ++dropped;
                }
            }
            if (*p) {
                const LineRest beyond = measureRest(p);
                lost = beyond.characters;
                dropped += beyond.dropped;
            }
            if (dropped > 0) {
                counts.bytesDropped(saturated(dropped));
            }
        }
    }
    // The cut comes after the translation, so dropped control bytes take no column.
    if (length > areaColumns) {
        lost += length - areaColumns;
        length = areaColumns;
    }
    if (lost > 0) {
        counts.lineCut(saturated(lost));
    }
    lineBuffer[length] = 0;
    lineLength = static_cast<int16_t>(length);
}

int32_t PrintSession::startPage() {
    if (pageOpen == 1) {
        return STATUS_BUSY;
    }
    pageLines = 0;
    y = 0;
    os::StartPage(dc);
    pageOpen = 1;
    return STATUS_OK;
}

int32_t PrintSession::endPage() {
    if (pageOpen == 0) {
        return STATUS_NOT_OPEN;
    }
    os::EndPage(dc);
    pageOpen = 0;
    counts.pageEnded();
    // A range that ends on a front side of a double-sided job with several copies gets an empty
    // back, so that the next range or copy starts on a sheet of its own.
    const PageRange& range = rangeAt(options, rangeIndex);
    if (currentPage == range.lastPage && selectedRecord().params.doubleSided != 0 &&
        options.copies > 1 && (currentPage & 1) != 0) {
        os::StartPage(dc);
        os::EndPage(dc);
        counts.blankPageAdded();
    }
    return STATUS_OK;
}

int32_t PrintSession::endDocument() {
    if (!dc) {
        return STATUS_NOT_OPEN;
    }
    if (pageOpen == 1) {
        endPage();
    }
    os::EndDoc(dc);
    releaseJob();
    return STATUS_OK;
}

int32_t PrintSession::abortDocument() {
    if (!dc) {
        return STATUS_NOT_OPEN;
    }
    os::AbortDoc(dc);
    pageOpen = 0;
    releaseJob();
    return STATUS_OK;
}

void PrintSession::releaseJob() {
    if (dc) {
        os::DeleteDC(dc);
        dc = nullptr;
    }
    freeRecord(jobRecord);
    jobRecord = nullptr;
}

} // namespace dotpress
