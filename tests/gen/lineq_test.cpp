// Linear equations: elimination with row pivoting.
#include "gen/lineq.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// A square matrix as the row pointers GJlineq takes, with a copy kept for the residual.
struct System {
    int n;
    std::vector<std::vector<double>> a, a0;
    std::vector<double*> rows;
    std::vector<double> b, b0, sol;
    System(int size, std::initializer_list<double> m, std::initializer_list<double> rhs)
        : n(size), a(size, std::vector<double>(size)), b(rhs), sol(size, -77) {
        auto it = m.begin();
        for (auto& r : a)
            for (auto& v : r) v = *it++;
        finish();
    }
    explicit System(int size) : n(size), a(size, std::vector<double>(size)), b(size), sol(size, -77) {}
    void finish() {
        a0 = a;
        b0 = b;
        rows.clear();
        for (auto& r : a) rows.push_back(r.data());
    }
    int solve(int first, int end) { return GJlineq(first, end, rows.data(), b.data(), sol.data()); }
    // Largest residual of the original rows first .. end-1, relative to the size of the terms.
    double residual(int first, int end) const {
        double worst = 0;
        for (int i = first; i < end; i++) {
            double r = -b0[i], scale = std::fabs(b0[i]);
            for (int k = first; k < end; k++) {
                r += a0[i][k] * sol[k];
                scale += std::fabs(a0[i][k] * sol[k]);
            }
            worst = std::max(worst, std::fabs(r) / scale);
        }
        return worst;
    }
};

}  // namespace

TEST(GJlineq, ExchangesRowsForThePivot) {
    System s(2, {0, 1, 1, 0}, {2, 3});
    EXPECT_EQ(s.solve(0, 2), 0);
    EXPECT_EQ(s.sol[0], 3);
    EXPECT_EQ(s.sol[1], 2);
}

TEST(GJlineq, RandomSystemsByResidual) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int trial = 0; trial < 200; trial++) {
        int n = 1 + trial % 9, first = trial % 3;
        System s(n + first + 1);
        for (auto& r : s.a)
            for (auto& v : r) v = u(rng);
        // Well conditioned: a strong diagonal, scaled rows up to 1e6 apart.
        for (int i = 0; i < (int)s.a.size(); i++) {
            s.a[i][i] += (i % 2 ? -3 : 3);
            double scale = std::pow(10.0, i % 7);
            for (auto& v : s.a[i]) v *= scale;
            s.b[i] = u(rng) * scale;
        }
        s.finish();
        ASSERT_EQ(s.solve(first, first + n), 0) << trial;
        // Backward stability of elimination with pivoting: a residual of a few ulps.
        EXPECT_LT(s.residual(first, first + n), 1e-14 * n) << trial;
        // Rows and columns outside the range are neither read nor written.
        EXPECT_EQ(s.sol[first + n], -77);
        if (first) {
            EXPECT_EQ(s.sol[first - 1], -77);
        }
        EXPECT_EQ(s.a[first + n], s.a0[first + n]);
    }
}

TEST(GJlineq, SingularAndNearlySingular) {
    // Exactly singular: a zero pivot during elimination or in the back substitution.
    System s1(2, {1, 2, 2, 4}, {1, 2});
    EXPECT_EQ(s1.solve(0, 2), -1);
    System s2(3, {1, 2, 3, 2, 4, 6, 1, 1, 1}, {1, 2, 3});
    EXPECT_EQ(s2.solve(0, 3), -1);
    System s3(2, {0, 0, 0, 0}, {0, 0});
    EXPECT_EQ(s3.solve(0, 2), -1);
    // Nearly singular: solved, with a small residual (the solution itself is only as good as
    // the condition number, about 4e12, allows).
    System s4(2, {1, 1, 1, 1 + 1e-12}, {2, 2 + 1e-12});
    EXPECT_EQ(s4.solve(0, 2), 0);
    EXPECT_LT(s4.residual(0, 2), 1e-15);
    EXPECT_NEAR(s4.sol[0], 1, 1e-3);
    EXPECT_NEAR(s4.sol[1], 1, 1e-3);
    // A solution that overflows, or a NaN in the matrix, is no solution.
    System s5(2, {1e-300, 0, 0, 1}, {1e300, 1});
    EXPECT_EQ(s5.solve(0, 2), -1);
    System s6(2, {NAN, 1, 1, 1}, {1, 1});
    EXPECT_EQ(s6.solve(0, 2), -1);
    System s7(2, {1, 1, 1, NAN}, {1, 1});
    EXPECT_EQ(s7.solve(0, 2), -1);
    // An empty range is solved trivially.
    EXPECT_EQ(s1.solve(1, 1), 0);
    EXPECT_EQ(s1.solve(2, 0), 0);
}
