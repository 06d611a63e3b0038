#pragma once
// Column names of "lm_t1" and the calculated fields of each record.

namespace ztk::fld {
inline constexpr const char N[] = "N";
inline constexpr const char CorrStamp[] = "ДатаКоррекции";
inline constexpr const char Name[] = "Name";
inline constexpr const char SK5[] = "SK5";
inline constexpr const char Prefix[] = "Префикс";
inline constexpr const char Price[] = "Цена";
inline constexpr const char BestBefore[] = "ГоденДо";
inline constexpr const char Name2[] = "Name2";
inline constexpr const char Name3[] = "Name3";
inline constexpr const char Name4[] = "Name4";
inline constexpr const char Name5[] = "Name5";
inline constexpr const char Type[] = "ТипТ";
inline constexpr const char Date[] = "Дата";
inline constexpr const char Time[] = "Время";
// calculated, never stored
inline constexpr const char Goden[] = "Goden";
inline constexpr const char Dcorr[] = "Dcorr";
inline constexpr const char TypeCal[] = "ПрефиксCal";

inline constexpr int MaxProductNumber = 5000;
} // namespace ztk::fld
