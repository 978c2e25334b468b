// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <map>
#include <string>

namespace merkhaus {

// An integer option that stays in its range whatever is assigned to it.
template <int Lo, int Hi>
class ClampedInt {
 public:
  static constexpr int Min = Lo;
  static constexpr int Max = Hi;
  constexpr ClampedInt(int v) : value_(std::clamp(v, Lo, Hi)) {}  // NOLINT: reads like an int
  constexpr ClampedInt& operator=(int v) {
    value_ = std::clamp(v, Lo, Hi);
    return *this;
  }
  constexpr operator int() const { return value_; }  // NOLINT

 private:
  int value_;
};

// The index of the chosen item of a radio group: 0..Count-1, or -1 when none is chosen. An index
// above the last item chooses the last one; a negative one chooses none.
template <int Count>
class Choice {
 public:
  static constexpr int Items = Count;
  constexpr Choice(int v) : value_(fit(v)) {}  // NOLINT
  constexpr Choice& operator=(int v) {
    value_ = fit(v);
    return *this;
  }
  constexpr operator int() const { return value_; }  // NOLINT

 private:
  static constexpr int fit(int v) { return v < 0 ? -1 : std::min(v, Count - 1); }
  int value_;
};

// Where a window was on the screen, in device-independent pixels of the desktop.
struct WindowPlace {
  bool known = false;  // false: never saved, the window takes its usual place
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool maximized = false;
  bool operator==(const WindowPlace&) const = default;
};

// The settings beyond Merkhaus.cfg. Every field has a default that holds when the file lacks
// its line, so a first start, an older file and a damaged line all read as "as the program
// comes".
struct MoreOptions {
  // Wiederholen: the chance of recall at which an entry becomes due, in percent.
  ClampedInt<70, 99> desiredRetentionPercent = 90;
  // Wiederholen: never-seen entries asked per day besides the due ones.
  ClampedInt<0, 9999> newEntriesPerDay = 10;
  // Wiederholen: 0 typed answers as in practice, 1 cards turned over ("Karteikarte").
  Choice<2> reviewStyle = 0;

  // The main window's place, kept for the next start.
  WindowPlace mainWindow;

  // Vorlesen: "Fremdwort automatisch vorlesen", whenever the foreign side is shown as the
  // question or as the solution.
  bool autoSpeak = false;
  // The speech engine; empty for the system's first.
  std::string speechEngine;
  // How fast the voices read: -10 slow .. 10 fast, 0 as the engine comes.
  ClampedInt<-10, 10> speechRate = 0;
  // The voice chosen for a foreign language, by the language's key (SpeechLanguageKey: lower
  // case, without blanks, UTF-8). A language without a line reads with its first voice.
  std::map<std::string, std::string> speechVoices;

  // Lines of the file that this version does not know, kept as they were so that a newer
  // version's settings survive a save by an older one.
  std::map<std::string, std::string> unknown;

  bool operator==(const MoreOptions&) const = default;
};

// Every behaviour switch of the program. One instance lives for the whole run; every mode reads
// the option it needs at the moment it needs it, so a change confirmed in the options dialog
// takes effect at the next read. Each option is named as Merkhaus.cfg's learners know it, after
// the control that edits it; the dictionary's field switches, whose controls are only numbered,
// are named after the field they govern.
struct Options {
  // Allgemein
  std::string StdDF;  // a path, kept as the bytes of Merkhaus.cfg's line
  bool alwaysthisfile = false;
  Choice<5> openreact = 0;  // keine Aktion, Üben, Testen, Wörterbuch, Eingeben
  bool alwaysthatfile = false;
  bool Eingabe_SpaceCut = true;
  bool Semikolacut = true;

  // Üben
  bool Study_SpaceCut = true;
  bool FragezeichenLosung = true;
  bool Kommentar_zeigen = true;
  bool AdvancedTips = false;
  bool Synonymabfrage = false;
  bool SmartBrackets = true;
  bool Grossklein = true;
  bool Kommatareg = true;
  bool KnowOnlyOneVoc = false;
  bool clearwhenwrong = false;
  Choice<3> Abfrageweise = 0;  // A - B, B - A, zufällig
  ClampedInt<1, 255> KickoutVal = 2;
  ClampedInt<1, 16> Neuversuche = 2;
  ClampedInt<1, 16> Losungstrafe = 3;
  bool AutoWeiterAkt = true;
  ClampedInt<1, 120> Autoweiter = 5;  // thirds of a second
  bool Autoweiterchbx = false;

  // Testen
  bool Testen_SpaceCut = true;
  bool Testen_showcomments = true;
  bool testensynonymabfrage = false;
  bool TestenSmartBrackets = true;
  bool testengrossklein = true;
  bool testenKommatareg = true;
  bool testenKnowOnlyOneVoc = false;
  Choice<3> TestenAbfrageweise = 0;

  // Algorithmus
  Choice<4> algorithmus = 0;  // systematisch, Reihenfolge, umgekehrt, völlig zufällig
  bool doppelvok = false;

  // Wörterbuch
  bool groesse = true;
  bool ganzewoerter = false;
  bool showunitID = false;
  bool ClearList = true;
  bool wortbuchleerenft = true;
  bool Felder = false;
  // The fields the dictionary searches while Felder is on, in the order of Merkhaus.cfg. The
  // dialog's captions cross over: the switches "Synonym A1".."A3" (CheckBox1..3) govern B1..B3,
  // "Synonym B1".."B3" (CheckBox4..6) govern A1..A3. They start false, but while Felder is off
  // they are all forced on (applyFelderRule).
  bool searchB1 = false;
  bool searchB2 = false;
  bool searchB3 = false;
  bool searchA1 = false;
  bool searchA2 = false;
  bool searchA3 = false;
  bool searchComment = false;

  // With "Nicht alle Felder durchsuchen" off, the dictionary searches all seven fields.
  void applyFelderRule() {
    if (Felder) return;
    searchB1 = searchB2 = searchB3 = searchA1 = searchA2 = searchA3 = searchComment = true;
  }

  // The settings that Merkhaus.cfg has no line for (Merkhaus3.conf).
  MoreOptions more;

  bool operator==(const Options&) const = default;
};

}  // namespace merkhaus
