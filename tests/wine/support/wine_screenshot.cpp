#include "wine_screenshot.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace winetest {

namespace {

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void putBig32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

void chunk(std::string& png, const char* type, const std::string& data) {
    putBig32(png, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    png += body;
    putBig32(png, crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

// A PNG of bottom-up 24-bit DIB rows, its image data in stored (uncompressed) deflate blocks:
// a screenshot file needs nothing more than readable.
std::string encodePng(const uint8_t* bits, int width, int height, DWORD stride) {
    std::string raw;
    for (int y = height - 1; y >= 0; --y) {
        raw += '\0'; // no filter
        const uint8_t* row = bits + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            raw += static_cast<char>(row[3 * x + 2]);
            raw += static_cast<char>(row[3 * x + 1]);
            raw += static_cast<char>(row[3 * x]);
        }
    }
    std::string zlib = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        zlib += static_cast<char>(at + n >= raw.size() ? 1 : 0);
        zlib += static_cast<char>(n & 0xFF);
        zlib += static_cast<char>(n >> 8);
        zlib += static_cast<char>(~n & 0xFF);
        zlib += static_cast<char>((~n >> 8) & 0xFF);
        zlib.append(raw, at, n);
    }
    putBig32(zlib, (b << 16) | a);
    std::string header;
    putBig32(header, static_cast<uint32_t>(width));
    putBig32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    std::string png = "\x89PNG\r\n\x1a\n";
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", zlib);
    chunk(png, "IEND", "");
    return png;
}

bool endsWith(const std::wstring& s, const std::wstring& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

bool saveScreenshot(HWND window, const std::wstring& path) {
    RECT frame;
    if (!IsWindow(window) || !GetWindowRect(window, &frame)) {
        return false;
    }
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height; // bottom-up, as a BMP file stores it
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = stride * static_cast<DWORD>(height);

    HDC windowDC = GetWindowDC(window);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDC, reinterpret_cast<BITMAPINFO*>(&header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap && bits) {
        HGDIOBJ previous = SelectObject(memoryDC, bitmap);
        BitBlt(memoryDC, 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
        GdiFlush();
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42; // "BM"
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + header.biSizeImage;
        HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            if (endsWith(path, L".png")) {
                const std::string png =
                    encodePng(static_cast<const uint8_t*>(bits), width, height, stride);
                saved =
                    WriteFile(out, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
            } else {
                saved = WriteFile(out, &file, sizeof file, &written, nullptr) &&
                        WriteFile(out, &header, sizeof header, &written, nullptr) &&
                        WriteFile(out, bits, header.biSizeImage, &written, nullptr);
            }
            CloseHandle(out);
        }
        SelectObject(memoryDC, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
    return saved;
}

} // namespace winetest
