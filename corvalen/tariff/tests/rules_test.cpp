#include <initializer_list>
#include <memory>

#include "TarifClock.h"
#include "TarifRules.h"
#include "TestSupport.h"

namespace {
// 2026-03-01 is a Sunday, 2026-03-04 a Wednesday.
COleDateTime Wed(int h, int m) { return COleDateTime(2026, 3, 4, h, m, 0); }

BOOL Eval(const CProvider& p, const COleDateTime& when, const char* var, int op, int a, int b = 0,
          int holiday = 0) {
  CTarifComparison c(var, op, a, b);
  return c.Evaluate(&p, CTarifContext(when, holiday));
}
}  // namespace

class RulesTest : public TariffTest {};

TEST_F(RulesTest, VariablesOfTheMoment) {
  CProvider p;
  p.SetCallCount(4);
  p.SetOnlineMinutes(95);
  const int EQ = CTarifComparison::opEqual, GT = CTarifComparison::opGreater, LT = CTarifComparison::opLess,
            GE = CTarifComparison::opGreaterEqual, LE = CTarifComparison::opLessEqual,
            NE = CTarifComparison::opNotEqual, IN = CTarifComparison::opInRange;
  const COleDateTime sunday(2026, 3, 1, 0, 0, 0), wed = Wed(13, 30);
  struct { const char* var; int op, a, b; COleDateTime when; int holiday; BOOL want; } cases[] = {
      {"tag.woche", EQ, 0, 0, sunday, 0, TRUE},
      {"tag.woche", EQ, 3, 0, wed, 0, TRUE},
      {"tag.jahr", EQ, 63, 0, wed, 0, TRUE},
      {"tag.jahr", EQ, 366, 0, COleDateTime(2028, 12, 31, 12, 0, 0), 0, TRUE},
      {"tag.monat", EQ, 4, 0, wed, 0, TRUE},
      {"datum.tag", EQ, 4, 0, wed, 0, TRUE},
      {"stunde.tag", EQ, 13, 0, wed, 0, TRUE},
      {"stunde.woche", EQ, 3 * 24 + 13, 0, wed, 0, TRUE},
      {"stunde.monat", EQ, 3 * 24 + 13, 0, wed, 0, TRUE},
      {"minute.tag", EQ, 13 * 60 + 30, 0, wed, 0, TRUE},
      {"minute.woche", EQ, 3 * 1440 + 810, 0, wed, 0, TRUE},
      {"minute.monat", EQ, 3 * 1440 + 810, 0, wed, 0, TRUE},
      {"minute.tag", IN, 480, 1079, Wed(8, 0), 0, TRUE},
      {"minute.tag", IN, 480, 1079, Wed(17, 59), 0, TRUE},
      {"minute.tag", IN, 480, 1079, Wed(18, 0), 0, FALSE},
      {"minute.tag", IN, 480, 1079, Wed(7, 59), 0, FALSE},
      {"minute.tag", EQ, 0, 0, COleDateTime(2026, 3, 5, 0, 0, 0), 0, TRUE},  // midnight
      {"feiertag", EQ, 1, 0, sunday, 0, TRUE},
      {"feiertag", EQ, 1, 0, wed, 1, TRUE},
      {"feiertag", EQ, 1, 0, wed, 0, FALSE},
      {"feiertag", NE, 1, 0, wed, 0, TRUE},
      {"datum.jahr", EQ, 2026, 0, wed, 0, TRUE},
      {"datum.monat", EQ, 3, 0, wed, 0, TRUE},
      {"datum.monat", GT, 2, 0, wed, 0, TRUE},
      {"datum.monat", LT, 3, 0, wed, 0, FALSE},
      {"anrufe.gesamt", EQ, 4, 0, wed, 0, TRUE},
      {"anrufe.tag", GE, 5, 0, wed, 0, FALSE},
      {"online.monat", LE, 95, 0, wed, 0, TRUE},
      {"online.woche", GT, 95, 0, wed, 0, FALSE},
      {"unbekannt", EQ, 5, 0, wed, 0, TRUE},
      {"unbekannt", GT, 5, 0, wed, 0, FALSE},
      {"unbekannt", NE, 5, 0, wed, 0, FALSE},
      {"unbekannt", IN, 1, 9, wed, 0, TRUE},
      // Without a registration: anmeldungsdatum fails with every operator, anmeldungsdauer is 0.
      {"anmeldungsdatum", EQ, 20260101, 0, wed, 0, FALSE},
      {"anmeldungsdatum", NE, 20260101, 0, wed, 0, FALSE},
      {"anmeldungsdauer", EQ, 12345, 0, wed, 0, TRUE},
      // The clock stands at 2026-03-04: datum.iso counts days from that operand date to today.
      {"datum.iso", EQ, 20260304, 0, wed, 0, TRUE},
      {"datum.iso", GT, 20260304, 0, wed, 0, FALSE},
      {"datum.iso", LT, 20260305, 0, wed, 0, TRUE},
      {"datum.iso", EQ, 20261301, 0, wed, 0, TRUE},  // an impossible date gives difference 0
  };
  for (auto& c : cases)
    EXPECT_EQ(Eval(p, c.when, c.var, c.op, c.a, c.b, c.holiday), c.want)
        << c.var << " op " << c.op << " " << c.a << " at " << c.when.Format("%d.%m.%Y %H:%M").c_str();
}

TEST_F(RulesTest, RegistrationVariables) {
  CProvider p;
  p.SetRegistrationDate(COleDateTime(2026, 1, 15, 10, 0, 0));
  const COleDateTime wed = Wed(10, 0);
  EXPECT_TRUE(Eval(p, wed, "anmeldungsdatum", CTarifComparison::opGreaterEqual, 20260101));
  EXPECT_FALSE(Eval(p, wed, "anmeldungsdatum", CTarifComparison::opLess, 20260101));
  EXPECT_TRUE(Eval(p, wed, "anmeldungsdatum", CTarifComparison::opEqual, 20260115));  // 10 hours count 0 days
  // 48 days (January 15 to March 4) of 1440 minutes.
  EXPECT_TRUE(Eval(p, wed, "anmeldungsdauer", CTarifComparison::opEqual, 48 * 1440));
  EXPECT_TRUE(Eval(p, wed + COleDateTimeSpan(0, 0, 1, 0), "anmeldungsdauer", CTarifComparison::opEqual, 48 * 1440 + 1));
}

TEST_F(RulesTest, GroupsStopEarlyAndEmptyGroupsHaveTheirValue) {
  CProvider p;
  CTarifContext ctx(Wed(12, 0), 0);
  auto group = [](int mode, std::initializer_list<bool> kids) {
    auto* g = new CTarifConditionGroup(mode, nullptr);
    for (bool k : kids)
      g->AddChild(new CTarifComparison("stunde.tag", CTarifComparison::opEqual, k ? 12 : 13));
    return std::unique_ptr<CTarifConditionGroup>(g);
  };
  const int AND = CTarifConditionGroup::modeAnd, OR = CTarifConditionGroup::modeOr, NOT = CTarifConditionGroup::modeNot;
  struct { int mode; std::initializer_list<bool> kids; BOOL want; } cases[] = {
      {AND, {}, TRUE}, {OR, {}, FALSE}, {NOT, {}, FALSE},
      {AND, {true, true}, TRUE}, {AND, {true, false}, FALSE},
      {OR, {false, true}, TRUE}, {OR, {false, false}, FALSE},
      {NOT, {true}, FALSE}, {NOT, {false}, TRUE}, {NOT, {true, false}, TRUE}, {NOT, {true, true}, FALSE},
  };
  for (auto& c : cases) EXPECT_EQ(group(c.mode, c.kids)->Evaluate(&p, ctx), c.want) << c.mode;
}

TEST_F(RulesTest, BaseValuesFirstThenEveryMatchingRuleInOrder) {
  CProvider p;
  auto* base = new CTarifAction;
  base->SetPrice(3.0f);
  p.SetBaseValues(base);
  auto* rules = new CTarifRuleList;
  auto addRule = [rules](int hour, float price, int takt) {
    auto* r = new CTarifRule;
    auto* a = new CTarifAction;
    if (price > 0) a->SetPrice(price);
    if (takt > 0) a->SetTakt(takt);
    r->SetAction(a);
    auto* g = new CTarifConditionGroup(CTarifConditionGroup::modeAnd, nullptr);
    if (hour >= 0) g->AddChild(new CTarifComparison("stunde.tag", CTarifComparison::opEqual, hour));
    r->SetCondition(g);
    rules->Add(r);
  };
  addRule(-1, 2.0f, 60);  // always
  addRule(20, 1.0f, 0);   // evenings
  addRule(20, 0.5f, 0);   // evenings, later in the file
  p.SetRuleList(rules);

  p.ApplyTariff(CTarifContext(Wed(20, 15), 0));
  EXPECT_FLOAT_EQ(p.GetPrice(), 0.5f);
  EXPECT_EQ(p.GetTakt(), 60);
  // A ranking without the rules starts again from the base: takt back to 1, fees 0.
  p.SetRuleList(nullptr);
  p.SetDialInFee(9);
  p.SetFreeMinutes(9);
  p.ApplyTariff(CTarifContext(Wed(20, 15), 0));
  EXPECT_FLOAT_EQ(p.GetPrice(), 3.0f);
  EXPECT_EQ(p.GetTakt(), 1);
  EXPECT_EQ(p.GetDialInFee(), 0.0f);
  EXPECT_EQ(p.GetFreeMinutes(), 0);
  EXPECT_EQ(p.GetBaseFee(), 0.0f);
}
