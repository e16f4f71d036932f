// Recomputing curves must not touch the heap: the checks count the allocations made while they run.
#include "AllocationCounter.h"
#include "core/Image.h"
#include "dsp/CurveSets.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmar {
namespace {

// Allocations made while `body` runs.
template <typename F> long AllocationsDuring(F&& body) {
    test::StartCountingAllocations();
    body();
    return test::StopCountingAllocations();
}

TEST(Allocation, theCounterSeesAnAllocation) {
    static int* volatile sink = nullptr; // keeps the compiler from eliding the pair
    EXPECT_EQ(AllocationsDuring([] { sink = new int(3); }), 1);
    delete sink;
}

TEST(Allocation, recomputeOfEveryKindNeverAllocates) {
    PeqBand band{1000, 300, 40, 1, kPeaking};
    CrossoverRecord xo{120, 0, 3, 8000, 2, 2};
    CFilter peaking, shelf, high, low;
    peaking.BindBand(&band);
    shelf.BindBand(&band);
    shelf.SetKind(kLowShelf);
    high.SetKind(kHighPass);
    high.BindCrossover(&xo);
    low.SetKind(kLowPass);
    low.BindCrossover(&xo);
    const Rect plot{35, 10, 635, 410};
    EXPECT_EQ(AllocationsDuring([&] {
                  for (CFilter* f : {&peaking, &shelf, &high, &low}) {
                      f->Recompute(true);
                      f->Recompute(false);
                      f->SetPlotSize(plot);
                  }
                  band.gain = 120;
                  peaking.BindBand(&band);
                  xo.hpfType = 1;
                  high.BindCrossover(&xo);
              }),
              0);
}

TEST(Allocation, labelsReuseTheirBuffer) {
    PeqBand band{1000, 165, 95, 0, kPeaking};
    CFilter f;
    f.SetBandNumber(3);
    f.BindBand(&band);
    EXPECT_EQ(AllocationsDuring([&] { (void)f.Label(); }), 0);
}

TEST(Allocation, refreshingAndSummingBuiltSetsNeverAllocates) {
    auto s = std::make_unique<CoreState>();
    InitCoreState(*s);
    BuildCurveSets(*s);
    s->image.outputs[0].peq[0].gain = 300;
    s->image.outputs[0].hpfFreq = 200;
    EXPECT_EQ(AllocationsDuring([&] {
                  RefreshAllCurveSets(*s);
                  RefreshCurveSet(*s, kCurveSetInputGeq, 2);
                  outputEqCurves[0].SetPlotSize({35, 10, 635, 410});
                  outputEqCurves[0].ComputeSum();
              }),
              0);
}

} // namespace
} // namespace velmar
