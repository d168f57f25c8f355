// The linear predictor and its stack of records.
#include "gen/predict.h"

#include <cmath>

#include "solvertest.h"

namespace {

void clearstack() {
    while (pred_end()) {}
}

// Registers (lead, dep), then saves the solutions (1, 10) and (2, 20) as a walk does and
// advances the leading value to 3. Returns what the calls to predict did to dep.
double walk(double h, double* lead, double* dep) {
    *lead = 0;
    *dep = 0;
    pred_begin(lead, dep, nullptr);
    predict(h);  // the registration values are no solution: only counted
    *lead = 1;
    *dep = 10;
    pred_save();
    *lead = 2;
    predict(h);  // second call: still only counted
    EXPECT_EQ(*dep, 10);
    *dep = 20;
    pred_save();
    *lead = 3;
    predict(h);
    return *dep;
}

}  // namespace

TEST(Predict, ExtrapolatesFromTheLastTwoSaves) {
    double lead, dep;
    EXPECT_EQ(walk(0, &lead, &dep), 30);
    clearstack();
    EXPECT_DOUBLE_EQ(walk(1, &lead, &dep), 20 + 10 / std::sqrt(2.0));
    clearstack();
    // Downward steps of the leading value extrapolate the same way.
    double a = 5, b = 1;
    pred_begin(&a, &b, nullptr);
    predict(0);
    predict(0);
    a = 4, b = 3;
    pred_save();
    a = 3.5;
    predict(0);
    EXPECT_EQ(b, 4);  // slope (3 - 1)/(4 - 5) = -2 over a step of -0.5
    // Only the two most recent saves count.
    a = 3, b = 0;
    pred_save();
    a = 2;
    predict(0);
    EXPECT_EQ(b, -3);  // slope (0 - 3)/(3 - 4); the save (5, 1) no longer counts
    clearstack();
}

TEST(Predict, ChangedDataWarns) {
    double lead, dep;
    std::string s = written([&] {
        lead = 0, dep = 0;
        pred_begin(&lead, &dep, nullptr);
        predict(0);
        lead = 1, dep = 10;
        pred_save();
        predict(0);
        lead = 2, dep = 20;
        pred_save();
        lead = 3;
        dep = 25;  // changed since the save: the step is added to the changed value
        predict(0);
    });
    EXPECT_EQ(dep, 35);
    EXPECT_NE(s.find("WARNING in \"predict\""), std::string::npos) << s;
    EXPECT_NE(s.find("predict[2]: data changed"), std::string::npos) << s;
    clearstack();
}

TEST(Predict, StackNests) {
    EXPECT_EQ(pred_end(), 0);
    double a = 0, b = 0, c = 0, d = 0;
    pred_begin(&a, &b, nullptr);
    predict(0);
    a = 1, b = 1;
    pred_save();
    predict(0);
    a = 2, b = 3;
    pred_save();
    // A nested walk has its own count and saves.
    pred_begin(&c, &d, nullptr);
    c = 5;
    predict(0);
    predict(0);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(pred_end(), 1);
    // Back on the outer record: its third call extrapolates.
    a = 3;
    predict(0);
    EXPECT_EQ(b, 5);
    EXPECT_EQ(pred_end(), 1);
    EXPECT_EQ(pred_end(), 0);
}

TEST(Predict, ElevenPointersAccepted) {
    double v[11] = {0};
    pred_begin(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], nullptr);
    predict(0);
    predict(0);
    for (int i = 0; i < 11; i++) v[i] = i + 1;
    pred_save();
    for (int i = 0; i < 11; i++) v[i] = 2 * (i + 1);
    pred_save();
    v[0] = 3;  // a step of 1 after a step of 1: every value goes up by its last step
    predict(0);
    for (int i = 1; i < 11; i++) EXPECT_EQ(v[i], 3 * (i + 1)) << i;
    EXPECT_EQ(pred_end(), 1);
    EXPECT_EQ(pred_end(), 0);
}

TEST(PredictDeathTest, Reports) {
    double v[12] = {0};
    EXPECT_EXIT(
        {
            out = tmpfile();
            pred_begin(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10],
                       &v[11], nullptr);
        },
        ::testing::ExitedWithCode(2), "pred_begin: too long or unterminated arg list");
    // A record of the leading value alone changes nothing but still counts and reports a zero
    // step on its third call.
    EXPECT_EXIT(
        {
            out = tmpfile();
            pred_begin(&v[0], nullptr);
            predict(0);
            predict(0);
            fprintf(stderr, "two calls ");
            predict(0);
        },
        ::testing::ExitedWithCode(1), "two calls (.|\n)*predict\\[1\\]");
    // Ignored, the zero step makes the extrapolation vanish.
    EXPECT_EXIT(
        {
            answer("i\n");
            double lead = 1;
            double dep = 7;
            pred_begin(&lead, &dep, nullptr);
            predict(0);
            predict(0);
            dep = 8;
            pred_save();
            dep = 9;
            pred_save();
            lead = 2;
            predict(0);
            exit(dep == 9 ? 42 : 1);
        },
        ::testing::ExitedWithCode(42), "");
}
