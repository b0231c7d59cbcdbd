// Device-context state, object selection and handle safety.
#include "LayerTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

using namespace layertest;

namespace {

TEST(DeviceContextState, ANewContextStartsWithGdiDefaults) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetBkColor(dc), white);
    EXPECT_EQ(GetTextColor(dc), black);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetMapMode(dc), MM_TEXT);
    POINT position{-1, -1};
    EXPECT_TRUE(GetCurrentPositionEx(dc, &position));
    EXPECT_EQ(position.x, 0);
    EXPECT_EQ(position.y, 0);
    DeleteDC(dc);
}

TEST(DeviceContextState, SettersReturnThePreviousValue) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SetBkColor(dc, red), white);
    EXPECT_EQ(SetBkColor(dc, blue), red);
    EXPECT_EQ(SetTextColor(dc, green), black);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, 7), 0) << "an unknown mode is refused";
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(SetMapMode(dc, MM_TEXT), MM_TEXT);
    POINT previous{};
    MoveToEx(dc, 3, 4, nullptr);
    MoveToEx(dc, 5, 6, &previous);
    EXPECT_EQ(previous.x, 3);
    EXPECT_EQ(previous.y, 4);
    POINT point{7, 8};
    EXPECT_TRUE(DPtoLP(dc, &point, 1));
    EXPECT_EQ(point.x, 7) << "one logical unit is one pixel";
    DeleteDC(dc);
}

TEST(Selection, SelectObjectReturnsThePreviousObjectOfItsKind) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, red);
    HBRUSH brush = CreateSolidBrush(red);
    LOGFONTA description{};
    description.lfHeight = -12;
    std::strcpy(description.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&description);
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_PEN)), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(font));
    DeleteDC(dc);
}

TEST(Selection, ABitmapIsSelectedIntoAtMostOneMemoryContext) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 1, nullptr);
    HGDIOBJ firstDefault = SelectObject(first, bitmap);
    ASSERT_NE(firstDefault, nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap)) << "a selected bitmap stays alive";
    SelectObject(first, firstDefault);
    HGDIOBJ secondDefault = SelectObject(second, bitmap);
    EXPECT_NE(secondDefault, nullptr);
    // Deleting the context frees its bitmap for others.
    DeleteDC(second);
    EXPECT_NE(SelectObject(first, bitmap), nullptr);
    SelectObject(first, firstDefault);
    EXPECT_TRUE(DeleteObject(bitmap));
    DeleteDC(first);
}

TEST(Selection, ObjectsSelectedIntoAContextCannotBeDeletedButStockObjectsIgnoreDeletion) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(red);
    SelectObject(dc, brush);
    EXPECT_FALSE(DeleteObject(brush));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(GetStockObject(NULL_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(NULL_PEN)), DWORD(OBJ_PEN)) << "stock objects live on";
    DeleteDC(dc);
}

TEST(Selection, WindowContextsTakeNoBitmap) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
    EXPECT_EQ(SelectObject(screen, bitmap), nullptr);
    EXPECT_FALSE(DeleteDC(screen)) << "window contexts are released, not deleted";
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    DeleteObject(bitmap);
}

TEST(HandleSafety, DeletedHandlesFailEverywhereAndNeverReachAReusedSlot) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN stale = CreatePen(PS_SOLID, 1, red);
    ASSERT_TRUE(DeleteObject(stale));
    EXPECT_FALSE(DeleteObject(stale));
    // Objects created afterwards may reuse the slot; the old handle must not reach them.
    std::vector<HPEN> fresh;
    for (int i = 0; i < 50; ++i)
        fresh.push_back(CreatePen(PS_SOLID, 1, blue));
    for (HPEN pen : fresh)
        EXPECT_NE(pen, stale);
    EXPECT_EQ(SelectObject(dc, stale), nullptr);
    EXPECT_EQ(GetObjectA(stale, 0, nullptr), 0);
    EXPECT_EQ(GetObjectType(stale), 0u);
    for (HPEN pen : fresh)
        EXPECT_TRUE(DeleteObject(pen));

    ASSERT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(SetBkColor(dc, red), CLR_INVALID);
    EXPECT_FALSE(LineTo(dc, 1, 1));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
}

TEST(HandleSafety, WrongTypeForeignAndNullHandlesFail) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, red);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
    const RECT area{0, 0, 1, 1};
    EXPECT_EQ(FillRect(dc, &area, reinterpret_cast<HBRUSH>(pen)), 0) << "a pen is no brush";
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(bitmap)));
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(pen), bitmap), nullptr);
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(dc)), nullptr);
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(dc)));
    EXPECT_EQ(GetObjectA(dc, 0, nullptr), 0);
    EXPECT_EQ(GetParent(reinterpret_cast<HWND>(pen)), nullptr);

    // Values that were never handles: small numbers, pointers, all bits set, a neighbour of a
    // real handle.
    int local = 0;
    const uintptr_t foreign[] = {1,
                                 0x1234,
                                 uintptr_t(&local),
                                 ~uintptr_t(0),
                                 reinterpret_cast<uintptr_t>(pen) + 1,
                                 reinterpret_cast<uintptr_t>(pen) ^ (uintptr_t(1) << 20)};
    for (uintptr_t value : foreign) {
        EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(value)), nullptr);
        EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(value)));
        EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(value)));
        EXPECT_FALSE(BitBlt(reinterpret_cast<HDC>(value), 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
        EXPECT_FALSE(DestroyWindow(reinterpret_cast<HWND>(value)));
    }
    EXPECT_EQ(SelectObject(nullptr, pen), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(pen)), nullptr);
    DeleteObject(pen);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(HandleSafety, CreationRejectsInvalidDescriptions) {
    EXPECT_EQ(CreateBitmap(0, 5, 1, 1, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(5, -1, 1, 1, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(100000, 100000, 1, 1, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(2, 2, 2, 1, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(2, 2, 1, 24, nullptr), nullptr);
    EXPECT_EQ(CreatePenIndirect(nullptr), nullptr);
    EXPECT_EQ(CreatePen(99, 1, 0), nullptr);
    LOGBRUSH hatched{BS_HATCHED, 0, 0};
    EXPECT_EQ(CreateBrushIndirect(&hatched), nullptr);
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST(HandleSafety, GetObjectDescribesEachKind) {
    LOGPEN penIn{PS_DOT, {1, 0}, red};
    HPEN pen = CreatePenIndirect(&penIn);
    LOGPEN penOut{};
    EXPECT_EQ(GetObjectA(pen, sizeof penOut, &penOut), int(sizeof penOut));
    EXPECT_EQ(penOut.lopnStyle, UINT(PS_DOT));
    EXPECT_EQ(penOut.lopnColor, red);
    LOGBRUSH brushIn{BS_SOLID, blue, 0};
    HBRUSH brush = CreateBrushIndirect(&brushIn);
    LOGBRUSH brushOut{};
    EXPECT_EQ(GetObjectA(brush, sizeof brushOut, &brushOut), int(sizeof brushOut));
    EXPECT_EQ(brushOut.lbColor, blue);
    BITMAP small{};
    EXPECT_EQ(GetObjectA(pen, 2, &small), 0) << "a buffer too small is not written";
    DeleteObject(pen);
    DeleteObject(brush);
}

// Parameter changes arrive on other threads than the editor's: the layer serialises its calls.
TEST(Threads, ConcurrentCallsKeepTheTableConsistent) {
    const platformtest::LiveCounts start = platformtest::liveCounts();
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &mismatches] {
            MemoryCanvas canvas(16, 16);
            for (int i = 0; i < 300; ++i) {
                HBRUSH brush = CreateSolidBrush(RGB(t, i % 256, 7));
                const RECT r{0, 0, 16, 16};
                FillRect(canvas.dc, &r, brush);
                mismatches[size_t(t)] += GetPixel(canvas.dc, 5, 5) != RGB(t, i % 256, 7);
                DeleteObject(brush);
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
    EXPECT_EQ(platformtest::liveCounts().gdiObjects, start.gdiObjects);
    EXPECT_EQ(platformtest::liveCounts().deviceContexts, start.deviceContexts);
}

TEST(Leaks, CountsReturnToTheirStartAfterTeardown) {
    const platformtest::LiveCounts start = platformtest::liveCounts();
    {
        MemoryCanvas canvas(8, 8);
        HPEN pen = CreatePen(PS_SOLID, 2, red);
        HGDIOBJ old = SelectObject(canvas.dc, pen);
        const platformtest::LiveCounts during = platformtest::liveCounts();
        EXPECT_EQ(during.deviceContexts, start.deviceContexts + 1);
        EXPECT_EQ(during.gdiObjects, start.gdiObjects + 2);
        SelectObject(canvas.dc, old);
        DeleteObject(pen);
    }
    const platformtest::LiveCounts end = platformtest::liveCounts();
    EXPECT_EQ(end.deviceContexts, start.deviceContexts);
    EXPECT_EQ(end.gdiObjects, start.gdiObjects);
    EXPECT_EQ(end.windows, start.windows);
}

} // namespace
