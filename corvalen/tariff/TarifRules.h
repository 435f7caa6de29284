// The conditions of the tariff rules (groups and comparisons over the moment and the provider's
// usage), the moment of a ranking, and the ranking of the providers for one moment. The rule and
// its list, which a provider owns, are in Provider.h.
#pragma once

#include <vector>

#include "CArray.h"
#include "CObject.h"
#include "COleDateTime.h"
#include "CString.h"
#include "Provider.h"

// The moment of a ranking and whether its day is a listed holiday.
class CTarifContext {
 public:
  CTarifContext(const COleDateTime& moment, int holiday)
      : date(moment), isHoliday(holiday), year(moment.GetYear()), month(moment.GetMonth()), day(moment.GetDay()),
        hour(moment.GetHour()), minute(moment.GetMinute()), dayOfWeek(moment.GetDayOfWeek()),
        dayOfYear(moment.GetDayOfYear()) {}
  COleDateTime date;
  int isHoliday;
  // The moment's parts, computed once for every rule of the ranking.
  int year, month, day, hour, minute, dayOfWeek, dayOfYear;
};

class CTarifConditionGroup : public CTarifCondition {
  DECLARE_DYNAMIC(CTarifConditionGroup)
 public:
  enum Mode { modeNot = 0, modeAnd = 1, modeOr = 2 };
  CTarifConditionGroup(int mode, CTarifConditionGroup* parent) : mode(mode), parent(parent) {}
  ~CTarifConditionGroup() override;
  CTarifConditionGroup(const CTarifConditionGroup&) = delete;
  CTarifConditionGroup& operator=(const CTarifConditionGroup&) = delete;

  void AddChild(CTarifCondition* child) { children.Add(child); }
  BOOL Evaluate(const CProvider* provider, const CTarifContext& context) const override;
  CTarifConditionGroup* GetParent() const { return parent; }
  int GetMode() const { return mode; }
  int GetChildCount() const { return children.GetSize(); }
  CTarifCondition* GetChild(int i) const { return children[i]; }

 private:
  int mode;
  CTarifConditionGroup* parent;
  CTypedPtrArray<CObArray, CTarifCondition*> children;
};

class CTarifComparison : public CTarifCondition {
  DECLARE_DYNAMIC(CTarifComparison)
 public:
  enum Op { opInRange = 0, opEqual = 1, opGreater = 2, opLess = 3, opGreaterEqual = 4,
            opLessEqual = 5, opNotEqual = 6 };
  // The variables a comparison can name; any other name compares as 0.
  enum Variable { varUnknown, varDayOfYear, varDayOfMonth, varDayOfWeek, varHourOfMonth, varHourOfWeek,
                  varHourOfDay, varMinuteOfMonth, varMinuteOfWeek, varMinuteOfDay, varHoliday, varCalls,
                  varOnline, varRegisteredMinutes, varRegistrationDate, varIsoDate, varYear, varMonth };
  CTarifComparison(const CString& variable, int op, int first, int second = 0)
      : variable(variable), op(op), first(first), second(second), kind(Classify(variable)) {}
  static Variable Classify(const CString& name);
  BOOL Evaluate(const CProvider* provider, const CTarifContext& context) const override;
  // value - operand for the variable, as a 32-bit difference (0 for unknown variables and
  // when the value cannot be computed); `ok` FALSE when every comparison must fail.
  int Difference(const CProvider* provider, const CTarifContext& context, int operand, BOOL* ok) const;

  CString variable;
  int op;
  int first;
  int second;
  Variable kind;  // the variable, looked up once when the rule is read
};

class CRankOrder : public CObject {};

class CProviderRanking : public CObject {
 public:
  int GetCount() const { return all.GetSize(); }
  CProvider* GetAt(int i) const { return all[i]; }
  int GetUsableCount() const { return usable.GetSize(); }
  CProvider* GetUsableAt(int i) const { return usable[i]; }
  const CTypedPtrArray<CObArray, CProvider*>& GetAll() const { return all; }
  const CTypedPtrArray<CObArray, CProvider*>& GetUsable() const { return usable; }
  int FindUsable(const CString& id) const;
  void RemoveAll() { all.RemoveAll(); usable.RemoveAll(); }
  // Takes a provider out of both arrays (its record is about to be deleted).
  void Remove(const CProvider* provider);
  void SetOrder(CRankOrder* o) { order = o; }
  // Before the first entry that does not rank before the provider; login providers without a
  // registration date go into `all` only.
  void Insert(CProvider* provider);
  // The same as Insert for each provider in turn, in one sort: a ranking of n providers costs
  // n log n comparisons instead of n insertions that each move the half of the arrays behind them.
  void InsertAll(const std::vector<CProvider*>& inOrder);

 private:
  CTypedPtrArray<CObArray, CProvider*> all;
  CTypedPtrArray<CObArray, CProvider*> usable;
  CRankOrder* order = nullptr;
};
