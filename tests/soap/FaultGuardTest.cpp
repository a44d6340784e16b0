// The fault guard: message box and ZU_E_FAILED for a fault, S_OK otherwise.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "CZuFaultGuard.h"
#include "KoMessageBox.h"
#include "KoPlatform.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

namespace {

class FaultGuard : public ::testing::Test {
protected:
    FaultGuard() { KoSetMessageBoxHandler(&FaultGuard::record, this); }
    ~FaultGuard() override { KoSetMessageBoxHandler(nullptr, nullptr); }

    static int record(const char* ansiText, const char*, unsigned type, void* context) {
        FaultGuard* self = static_cast<FaultGuard*>(context);
        self->boxes.push_back(ansiText);
        self->types.push_back(type);
        if (self->throwFromBox) throw std::runtime_error("box");
        return 1;
    }

    std::vector<std::string> boxes;
    std::vector<unsigned> types;
    bool throwFromBox = false;
};

TEST_F(FaultGuard, WorkThatEndsNormallyGivesSOkWhateverItsResult) {
    int ran = 0;
    EXPECT_EQ(S_OK, CZuFaultGuard::Run(ZU_TEXT_FILE_DAMAGED, [&] { ++ran; }));
    EXPECT_EQ(S_OK, CZuFaultGuard::Run(ZU_TEXT_FILE_DAMAGED, [&] {
                  ++ran;
                  return ZU_E_SERVERERROR;
              }));
    EXPECT_EQ(2, ran);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FaultGuard, ExceptionsAndRaisedFaultsShowTheTextAndFail) {
    EXPECT_EQ(ZU_E_FAILED, CZuFaultGuard::Run(ZU_TEXT_FILE_DAMAGED, [] { throw std::runtime_error("x"); }));
    EXPECT_EQ(ZU_E_FAILED, CZuFaultGuard::Run(ZU_TEXT_NETWORK_FAILED, [] { throw std::bad_alloc(); }));
    EXPECT_EQ(ZU_E_FAILED, CZuFaultGuard::Run(ZU_TEXT_NETWORK_FAILED, [] { throw 42; }));
    int after = 0;
    EXPECT_EQ(ZU_E_FAILED, CZuFaultGuard::Run(ZU_TEXT_FILE_DAMAGED, [&] {
                  CZuFaultGuard::Raise();
                  ++after;
              }));
    EXPECT_EQ(0, after);
    EXPECT_EQ((std::vector<std::string>{"\xb4\xcb\xce\xc4\xbc\xfe\xd2\xd1\xcb\xf0\xbb\xb5!",
                                        "\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3\xca\xa7\xb0\xdc!",
                                        ZU_TEXT_NETWORK_FAILED, ZU_TEXT_FILE_DAMAGED}),
              boxes);
    EXPECT_EQ((std::vector<unsigned>{MB_OK, MB_OK, MB_OK, MB_OK}), types);
}

TEST_F(FaultGuard, AFailingMessageBoxStillGivesTheResult) {
    throwFromBox = true;
    EXPECT_EQ(ZU_E_FAILED, CZuFaultGuard::Run(ZU_TEXT_FILE_DAMAGED, [] { CZuFaultGuard::Raise(); }));
    EXPECT_EQ(1u, boxes.size());
}

} // namespace
