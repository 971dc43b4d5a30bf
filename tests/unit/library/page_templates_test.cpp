// Templates 1539 and 1546 and bitmap 102 as the library's module carries them, against the
// tables the dialogs were written from: a wrong id, text or rectangle would show here first.
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"
#include "platform/sim/resources.h"

#include <array>
#include <cstring>
#include <iterator>

namespace {

using dptest::LibraryTest;

struct Expected {
    int id;
    const char16_t* className;
    const char16_t* text;
    int16_t x, y, cx, cy;
    uint32_t mask; // the style bits that decide the kind of control
    uint32_t bits; // their value
};

constexpr uint32_t kButton = 0x0F, kStatic = 0x1F, kCombo = 0x0F;
constexpr uint32_t kGroupBox = 7, kPush = 0, kDefPush = 1;
constexpr uint32_t kLeft = 0, kCenter = 1, kRight = 2, kGrayRect = 5, kBitmap = 14;
constexpr uint32_t kTabStop = 0x00010000, kGroup = 0x00020000, kVScroll = 0x00200000;
constexpr uint32_t kDropDownList = 3, kSort = 0x100;
constexpr uint32_t kNumber = 0x2000, kEditCenter = 1, kAutoHScroll = 0x80;
constexpr uint32_t kNoPrefix = 0x80, kCenterImage = 0x200;

const Expected kSelection[] = {
    {1075, u"Button", u"Impresora", 8, 4, 245, 84, kButton, kGroupBox},
    {1093, u"Static", u"&Nombre:", 16, 20, 39, 10, kStatic, kLeft},
    {1136, u"ComboBox", u"", 58, 18, 189, 152, kCombo | kVScroll | kTabStop | kSort,
     kDropDownList | kVScroll | kTabStop},
    {1095, u"Static", u"Estado:", 16, 35, 39, 10, kStatic, kLeft},
    {1099, u"Static", u"", 58, 35, 94, 10, kStatic, kLeft},
    {1104, u"Static", u"Líneas:", 155, 35, 25, 10, kStatic, kLeft},
    {1002, u"Static", u"", 181, 35, 13, 10, kStatic, kLeft},
    {1106, u"Static", u"Columnas:", 197, 35, 36, 10, kStatic, kLeft},
    {1003, u"Static", u"", 234, 35, 13, 10, kStatic, kLeft},
    {1094, u"Static", u"Tipo:", 16, 48, 39, 10, kStatic, kLeft},
    {1098, u"Static", u"", 58, 48, 189, 10, kStatic, kLeft},
    {1097, u"Static", u"Ubicación:", 16, 61, 39, 10, kStatic, kLeft},
    {1101, u"Static", u"", 58, 61, 189, 10, kStatic, kLeft},
    {1096, u"Static", u"Comentario:", 16, 74, 39, 10, kStatic, kLeft},
    {1100, u"Static", u"", 58, 74, 189, 10, kStatic, kLeft},
    {1, u"Button", u"Aceptar", 79, 92, 54, 14, kButton, kDefPush},
    {2, u"Button", u"Cancelar", 138, 92, 54, 14, kButton, kPush},
    {1010, u"Button", u"&Predeterminar", 197, 92, 54, 14, kButton, kPush},
};

const Expected kPage[] = {
    {1073, u"Button", u"Configuración", 113, 8, 165, 52, kButton, kGroupBox},
    {1089, u"Static", u"&Tamaño papel:", 118, 22, 49, 12, kStatic | kCenterImage,
     kLeft | kCenterImage},
    {1137, u"ComboBox", u"", 169, 22, 102, 160, kCombo | kVScroll | kGroup | kTabStop | kSort,
     kDropDownList | kVScroll | kGroup | kTabStop},
    {1000, u"Button", u"&Configuración de la impresora", 130, 41, 130, 14,
     kButton | kGroup | kTabStop, kPush | kGroup | kTabStop},
    {1018, u"Button", u"Definido por el usuario", 113, 65, 165, 50, kButton, kGroupBox},
    {1106, u"Static", u"&Lineas", 121, 76, 24, 12, kStatic | kCenterImage, kLeft | kCenterImage},
    {1002, u"Edit", u"", 153, 77, 28, 12, kNumber | kEditCenter | kGroup | kTabStop,
     kNumber | kEditCenter | kGroup | kTabStop},
    {1107, u"Static", u"&Columnas", 197, 77, 32, 12, kStatic | kCenterImage, kLeft | kCenterImage},
    {1003, u"Edit", u"", 234, 77, 28, 12, kNumber | kEditCenter | kGroup | kTabStop,
     kNumber | kEditCenter | kGroup | kTabStop},
    {1021, u"Static", u"Tamaño del papel (pulgadas)", 121, 95, 94, 14, kStatic | kCenterImage,
     kLeft | kCenterImage},
    {1020, u"Edit", u"", 234, 95, 28, 12, kNumber | kEditCenter | kAutoHScroll | kTabStop,
     kNumber | kEditCenter | kAutoHScroll | kTabStop},
    {1, u"Button", u"Aceptar", 175, 120, 48, 14, kButton | kGroup | kTabStop,
     kDefPush | kGroup | kTabStop},
    {2, u"Button", u"Cancelar", 227, 120, 48, 14, kButton | kTabStop, kPush | kTabStop},
    {1126, u"Button", u"&Restaurar valores", 13, 120, 86, 14, kButton | kTabStop, kPush | kTabStop},
    {-1, u"Static", u"#102", 19, 23, 81, 81, kStatic, kBitmap},
    {-1, u"Static", u"", 100, 27, 4, 80, kStatic, kGrayRect},
    {-1, u"Static", u"", 24, 104, 80, 4, kStatic, kGrayRect},
    {1012, u"Static", u"40", 18, 15, 82, 8, kStatic | kNoPrefix | kCenterImage,
     kCenter | kNoPrefix | kCenterImage},
    {1013, u"Static", u"29", 9, 61, 9, 9, kStatic, kRight},
    {-1, u"Button", u"", 7, 8, 101, 107, kButton, kGroupBox},
};

// Class names are not case-sensitive; a CONTROL statement stores the name as written.
std::u16string upper(std::u16string s) {
    for (char16_t& c : s) {
        c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    }
    return s;
}

void check(const sim::DialogTemplate& dialog, const Expected* expected, size_t count) {
    ASSERT_EQ(dialog.items.size(), count);
    for (size_t i = 0; i < count; ++i) {
        const sim::DialogItem& got = dialog.items[i];
        const Expected& want = expected[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(want.id));
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(upper(got.className), upper(want.className));
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ((std::array<int16_t, 4>{got.x, got.y, got.cx, got.cy}),
                  (std::array<int16_t, 4>{want.x, want.y, want.cx, want.cy}));
        EXPECT_EQ(got.style & want.mask, want.bits);
    }
}

class PageTemplatesTest : public LibraryTest {
protected:
    sim::DialogTemplate dialog(uint16_t id) {
        sim::DialogTemplate t;
        const sim::Resource* r =
            sim::findResource(dotpress::moduleHandle, sim::kResourceDialog, id);
        EXPECT_NE(r, nullptr);
        if (r) {
            EXPECT_EQ(r->language, 3082);
            EXPECT_TRUE(sim::parseDialogTemplate(r->data, r->size, t));
        }
        return t;
    }
};

constexpr uint32_t kFrame = 0x80 | 0x04 | 0x800 | 0x2000 | 0x80000000u | 0x00C00000 | 0x00080000;

TEST_F(PageTemplatesTest, PrinterSelectionTemplate) {
    load();
    const sim::DialogTemplate t = dialog(IDD_SELECT_PRINTER);
    EXPECT_EQ(t.title, u"Seleccionar impresora");
    EXPECT_EQ(t.style & kFrame, kFrame) << "modal frame, 3D, centred, help, pop-up, caption, menu";
    EXPECT_EQ(t.style & 0x10000000u, 0x10000000u) << "visible";
    EXPECT_EQ((std::array<int16_t, 2>{t.cx, t.cy}), (std::array<int16_t, 2>{259, 111}));
    EXPECT_EQ(t.typeface, u"MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    check(t, kSelection, std::size(kSelection));
}

TEST_F(PageTemplatesTest, PageConfigurationTemplateAndItsPicture) {
    load();
    const sim::DialogTemplate t = dialog(IDD_PAGE_CONFIG);
    EXPECT_EQ(t.title, u"Configurar página");
    EXPECT_EQ(t.style & kFrame, kFrame);
    EXPECT_EQ((std::array<int16_t, 4>{t.x, t.y, t.cx, t.cy}),
              (std::array<int16_t, 4>{32, 32, 286, 142}));
    EXPECT_EQ(t.typeface, u"MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    check(t, kPage, std::size(kPage));

    const sim::Resource* bitmap =
        sim::findResource(dotpress::moduleHandle, sim::kResourceBitmap, IDB_PAGE_PICTURE);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->language, 3082);
    ASSERT_GE(bitmap->size, 40u);
    int32_t width = 0, height = 0;
    uint16_t bits = 0;
    std::memcpy(&width, bitmap->data + 4, 4);
    std::memcpy(&height, bitmap->data + 8, 4);
    std::memcpy(&bits, bitmap->data + 14, 2);
    EXPECT_EQ(width, 122);
    EXPECT_EQ(height, 132);
    EXPECT_EQ(bits, 24);
    // A white page: the corner inside the frame (the rows are stored bottom-up after the header).
    const size_t stride = (122 * 3 + 3) & ~3u;
    ASSERT_EQ(bitmap->size, 40 + stride * 132);
    const uint8_t* inside = bitmap->data + 40 + stride * 130 + 3;
    EXPECT_EQ((std::array<uint8_t, 3>{inside[0], inside[1], inside[2]}),
              (std::array<uint8_t, 3>{255, 255, 255}));
}

} // namespace
