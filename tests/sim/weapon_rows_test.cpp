// The weapon-type rows against the tables the stores are documented with,
// the store class and the loadout texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sim/weapon.h"

namespace {

// Identity and routines.
const char* const kIdentityTable = R"TABLE(
| 0 | "M61A1" | "M61A1 20mm Cannon" | - | "bullet.pak" | 0x701 | none | none | gun | - | - | - |
| 1 | "AIM9M" | "AIM9M Sidewinder" | "sidewind.pak" | "sidewind.pak" | 0x3004162 | infrared | pursuit, re-acquire | missile | - | yes | flares |
| 2 | "AIM120" | "AIM120 AMRAAM" | "amraam.pak" | "amraam.pak" | 0x30009A2 | active radar | pursuit | missile | - | yes | chaff |
| 3 | "JDAM" | "JDAM" | "jdam.pak" | "jdam.pak" | 0x11C0208 | satellite | pursuit | bomb | yes | yes | - |
| 4 | "SAM" | "SAM" | - | "bullet.pak" | 0x1 | none | pursuit | missile | - | yes | chaff |
| 5 | "AI_BULLET" | "AI BULLET" | - | "bullet.pak" | 0x101 | none | none | gun | - | - | - |
| 6 | "AI_SR_MISSILE" | "AI SR MISSILE" | - | "sidewind.pak" | 0x1000162 | none | pursuit, re-acquire | missile | - | yes | flares |
| 7 | "AI_MR_MISSILE" | "AI MR MISSILE" | - | "amraam.pak" | 0x10001A2 | none | pursuit | missile | - | yes | chaff |
| 8 | "AI_BOMB" | "AI BOMB" | - | "jdam.pak" | 0x1000208 | none | pursuit | bomb | - | yes | - |
| 9 | "FLAK" | "FLAK" | - | - | 0x0 | none | none | none | - | - | - |
| 10 | "FUELPOD300" | "FUELPOD (300g)" | "fuel_c.pak" | "fuel_c.pak" | 0x10 | none | none | none | - | yes | - |
| 11 | "FUELPOD304" | "FUELPOD (304g)" | "fp300.pak" | "fp300.pak" | 0x10 | none | none | none | - | yes | - |
| 12 | "FUELPOD370" | "FUELPOD (370g)" | "fuel370.pak" | "fuel370.pak" | 0x10 | none | none | none | - | yes | - |
| 13 | "FUELPOD396" | "FUELPOD (396g)" | "fp396.pak" | "fp396.pak" | 0x10 | none | none | none | - | yes | - |
| 14 | "FUELPOD600" | "FUELPOD (600g)" | "fuel600.pak" | "fuel600.pak" | 0x10 | none | none | none | - | yes | - |
| 15 | "AGM65B" | "AGM-65B Maverick" | "maverick.pak" | "maverick.pak" | 0x3790264 | television | pursuit | missile | yes | yes | flares |
| 16 | "AGM65G" | "AGM-65G Maverick" | "maverick.pak" | "maverick.pak" | 0x3788264 | infrared imaging | pursuit | missile | yes | yes | flares |
| 17 | "AGM84A" | "AGM-84A Harpoon" | "harp.pak" | "harp.pak" | 0x3780CA4 | active radar | pursuit | missile | yes | yes | flares |
| 18 | "AGM88" | "AGM-88 HARM" | "harm.pak" | "harm.pak" | 0x1382264 | anti-radiation | pursuit | missile | yes | yes | flares |
| 19 | "AA10" | "R-27R1 AA-10 Alamo-A" | "alamo.pak" | "alamo.pak" | 0x10011A2 | semi-active radar | pursuit | missile | - | yes | flares |
| 20 | "AA8" | "R-60MK AA-8 Aphid" | "aphid.pak" | "aphid.pak" | 0x3004162 | infrared | pursuit, re-acquire | missile | - | yes | flares |
| 21 | "AA11" | "R-73A/E AA-11 Archer" | "archer.pak" | "archer.pak" | 0x3004162 | infrared | pursuit, re-acquire | missile | - | yes | flares |
| 22 | "AA12" | "R-77 AA-12 Adder" | "adder.pak" | "adder.pak" | 0x30009A2 | active radar | pursuit | missile | - | yes | flares |
| 23 | "AS10" | "Kh-25ML AS-10 Karen" | "karen.pak" | "karen.pak" | 0x19A0264 | laser | pursuit | missile | yes | yes | flares |
| 24 | "AS12" | "Kh-25MP AS-12 Kegler" | "kegler.pak" | "kegler.pak" | 0x13822A4 | anti-radiation | pursuit | missile | yes | yes | flares |
| 25 | "AS14L" | "Kh-29L AS-14 Kedge" | "kedgel.pak" | "kedgel.pak" | 0x19A0264 | laser | pursuit | missile | yes | yes | flares |
| 26 | "AS14T" | "Kh-29T AS-14 Kedge" | "kedget.pak" | "kedget.pak" | 0x3590264 | television | pursuit | missile | yes | yes | flares |
| 27 | "AS17" | "Kh-31P AS-17 Krypton" | "krypton.pak" | "krypton.pak" | 0x13822A4 | anti-radiation | pursuit | missile | yes | yes | flares |
| 28 | "GSH301" | "Gsh-301 30mm Cannon" | - | "bullet.pak" | 0x701 | none | none | gun | - | - | - |
| 29 | "MK20" | "Mk 20 Rockeye Cluster Bomb" | "rockeye.pak" | "rockeye.pak" | 0x1180208 | none | none | bomb | yes | yes | - |
| 30 | "MK82" | "Mk 82 500-LB Laser Guided Bomb" | "gbu82.pak" | "gbu82.pak" | 0x1FA0208 | laser | pursuit | bomb | yes | yes | - |
| 31 | "MK83" | "Mk 83 1000-LB Laser Guided Bomb" | "gbu83.pak" | "gbu83.pak" | 0x1FA0208 | laser | pursuit | bomb | yes | yes | - |
| 32 | "MK84" | "Mk 84 2000-LB Laser Guided Bomb" | "gbu84.pak" | "gbu84.pak" | 0x1FA0208 | laser | pursuit | bomb | yes | yes | - |
| 33 | "JDAM500" | "JDAM 500-LB GPS Guided Bomb" | "jdam.pak" | "jdam.pak" | 0x11C0208 | satellite | pursuit | bomb | yes | yes | - |
| 34 | "JDAM1000" | "JDAM 1000-LB GPS Guided Bomb" | "jdam10.pak" | "jdam10.pak" | 0x11C0208 | satellite | pursuit | bomb | yes | yes | - |
| 35 | "JDAM2000" | "JDAM 2000-LB GPS Guided Bomb" | "jdam20.pak" | "jdam20.pak" | 0x11C0208 | satellite | pursuit | bomb | yes | yes | - |
| 36 | "KAB500KR" | "KAB-500KR 500-kb TV Guided Bomb" | "kab50.pak" | "kab50.pak" | 0x3590208 | television | pursuit | bomb | yes | yes | - |
| 37 | "FAB250" | "FAB-250 Fuel Air Bomb" | "fab25.pak" | "fab25.pak" | 0x1180208 | none | none | bomb | yes | yes | - |
| 38 | "FAB500" | "FAB-500 Fuel Air Bomb" | "fab50.pak" | "fab50.pak" | 0x1180208 | none | none | bomb | yes | yes | - |
)TABLE";
// Stores, hits and sounds.
const char* const kStoresTable = R"TABLE(
| 0 | M61A1 | 630 | 781 | 0 | 0 | 64 | 0 | 380 | 4 | 480 | 480 | 33 | 1 | 1 |
| 1 | AIM9M | 631 | 782 | 85.5 | 0 | 768 | 1 | 1200 | 40 | 0 | 0 | 34 | 3 | 75 |
| 2 | AIM120 | 632 | 783 | 150.75 | 0 | 768 | 1 | 2400 | 40 | 0 | 0 | 35 | 3 | 100 |
| 3 | JDAM | 633 | 784 | 909 | 0 | 24576 | 1 | 1200 | 40 | 0 | 0 | 36 | 6 | 0 |
| 4 | SAM | 630 | 781 | 0 | 0 | 768 | 1 | 1600 | 40 | 0 | 0 | 37 | 1 | 0 |
| 5 | AI_BULLET | 630 | 781 | 0 | 0 | 64 | 0 | 380 | 40 | 0 | 0 | 38 | 1 | 0 |
| 6 | AI_SR_MISSILE | 631 | 782 | 0 | 0 | 768 | 1 | 1200 | 40 | 0 | 0 | 39 | 3 | 0 |
| 7 | AI_MR_MISSILE | 632 | 783 | 0 | 0 | 768 | 1 | 3600 | 40 | 0 | 0 | 40 | 3 | 0 |
| 8 | AI_BOMB | 633 | 784 | 0 | 0 | 24576 | 1 | 1200 | 40 | 0 | 0 | 41 | 6 | 0 |
| 9 | FLAK | 630 | 781 | 0 | 0 | 640 | 2 | 380 | 40 | 0 | 0 | 42 | 1 | 0 |
| 10 | FUELPOD300 | 662 | 813 | 106 | 758 | 0 | 1 | 1200 | 40 | 0 | 0 | 43 | 1 | 0 |
| 11 | FUELPOD304 | 634 | 785 | 130 | 768 | 0 | 1 | 1200 | 40 | 0 | 0 | 44 | 1 | 0 |
| 12 | FUELPOD370 | 635 | 786 | 156 | 935 | 0 | 1 | 1200 | 40 | 0 | 0 | 45 | 1 | 0 |
| 13 | FUELPOD396 | 636 | 787 | 190 | 1168 | 0 | 1 | 1200 | 40 | 0 | 0 | 46 | 1 | 0 |
| 14 | FUELPOD600 | 637 | 788 | 212 | 1516 | 0 | 1 | 1200 | 40 | 0 | 0 | 47 | 1 | 0 |
| 15 | AGM65B | 638 | 789 | 270.9 | 0 | 3072 | 1 | 1200 | 40 | 0 | 0 | 48 | 4 | 75 |
| 16 | AGM65G | 639 | 790 | 301.5 | 0 | 7373 | 1 | 1200 | 40 | 0 | 0 | 49 | 4 | 100 |
| 17 | AGM84A | 640 | 791 | 515.25 | 0 | 12288 | 1 | 2400 | 40 | 0 | 0 | 50 | 4 | 100 |
| 18 | AGM88 | 641 | 792 | 360 | 0 | 3564 | 1 | 1600 | 40 | 0 | 0 | 51 | 4 | 75 |
| 19 | AA10 | 642 | 793 | 254 | 0 | 768 | 1 | 1600 | 40 | 0 | 0 | 52 | 3 | 100 |
| 20 | AA8 | 643 | 794 | 43.5 | 0 | 768 | 1 | 1200 | 40 | 0 | 0 | 53 | 3 | 150 |
| 21 | AA11 | 644 | 795 | 105 | 0 | 768 | 1 | 1200 | 40 | 0 | 0 | 54 | 3 | 100 |
| 22 | AA12 | 645 | 796 | 175 | 0 | 768 | 1 | 3600 | 40 | 0 | 0 | 55 | 3 | 50 |
| 23 | AS10 | 646 | 797 | 300 | 0 | 2114 | 1 | 1200 | 40 | 0 | 0 | 56 | 4 | 75 |
| 24 | AS12 | 647 | 798 | 300 | 0 | 2212 | 1 | 2400 | 40 | 0 | 0 | 57 | 4 | 75 |
| 25 | AS14L | 648 | 799 | 660 | 0 | 7791 | 1 | 1200 | 40 | 0 | 0 | 58 | 4 | 125 |
| 26 | AS14T | 649 | 800 | 680 | 0 | 7791 | 1 | 1200 | 40 | 0 | 0 | 59 | 4 | 75 |
| 27 | AS17 | 650 | 801 | 650 | 0 | 2212 | 1 | 2400 | 40 | 0 | 0 | 60 | 4 | 100 |
| 28 | GSH301 | 651 | 802 | 0 | 0 | 96 | 0 | 380 | 8 | 150 | 150 | 61 | 1 | 1 |
| 29 | MK20 | 652 | 803 | 412 | 0 | 16384 | 1 | 1200 | 40 | 0 | 0 | 62 | 10 | 10 |
| 30 | MK82 | 653 | 804 | 227 | 0 | 8192 | 1 | 1200 | 40 | 0 | 0 | 63 | 6 | 10 |
| 31 | MK83 | 654 | 805 | 455 | 0 | 16384 | 1 | 1200 | 40 | 0 | 0 | 64 | 6 | 10 |
| 32 | MK84 | 655 | 806 | 909 | 0 | 32767 | 1 | 1200 | 40 | 0 | 0 | 65 | 6 | 10 |
| 33 | JDAM500 | 656 | 807 | 227 | 0 | 8192 | 1 | 1200 | 40 | 0 | 0 | 66 | 6 | 10 |
| 34 | JDAM1000 | 657 | 808 | 455 | 0 | 16384 | 1 | 1200 | 40 | 0 | 0 | 67 | 6 | 10 |
| 35 | JDAM2000 | 658 | 809 | 909 | 0 | 32767 | 1 | 1200 | 40 | 0 | 0 | 68 | 6 | 10 |
| 36 | KAB500KR | 659 | 810 | 560 | 0 | 16384 | 1 | 1200 | 40 | 0 | 0 | 69 | 6 | 10 |
| 37 | FAB250 | 660 | 811 | 250 | 0 | 10000 | 1 | 1200 | 40 | 0 | 0 | 70 | 10 | 10 |
| 38 | FAB500 | 661 | 812 | 500 | 0 | 20000 | 1 | 1200 | 40 | 0 | 0 | 71 | 10 | 10 |
)TABLE";
// Flight and seeker numbers.
const char* const kFlightTable = R"TABLE(
| 0 | M61A1 | 760 | 1520 | 0x0 | 0x0 | - | 0 | 0 | 0 | 0x0 | 0x0 | 3 | 0x0 | 0x0 | 1/0x1 | 0 | 0 | 0 |
| 1 | AIM9M | 2280 | 3800 | 0x14000 | 0x800 | 45° | 0.5 | 20 | 5 | 0xDC | 0x40000 | 1 | 0x0 | 0x0 | 1/0x1 | 1 | 20 | 512 |
| 2 | AIM120 | 9880 | 15200 | 0x14000 | 0x400 | 45° | 0.025 | 15 | 5 | 0x64 | 0x50000 | 1 | 0x0 | 0x0 | 1/0x1 | 2 | 20 | 512 |
| 3 | JDAM | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x4000 | 2/0x40 | 0 | 0 | 0 |
| 4 | SAM | 9120 | 15200 | 0x28000 | 0x4000 | 90° | 0 | 0 | 0 | 0x200 | 0x40000 | 1 | 0x0 | 0x0 | 1/0x1 | 2 | 0 | 0 |
| 5 | AI_BULLET | 760 | 1520 | 0x0 | 0x0 | - | 0 | 0 | 0 | 0x0 | 0x0 | 3 | 0x0 | 0x0 | 1/0x1 | 0 | 0 | 0 |
| 6 | AI_SR_MISSILE | 2280 | 7600 | 0x14000 | 0x400 | 45° | 0 | 0 | 0 | 0xDC | 0x40000 | 1 | 0x0 | 0x0 | 1/0x1 | 1 | 20 | 512 |
| 7 | AI_MR_MISSILE | 9120 | 15200 | 0x14000 | 0x400 | 45° | 0 | 0 | 0 | 0x64 | 0x50000 | 1 | 0x0 | 0x0 | 1/0x1 | 2 | 20 | 512 |
| 8 | AI_BOMB | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x8000 | 2/0x40 | 0 | 0 | 0 |
| 9 | FLAK | 760 | 1520 | 0x0 | 0x0 | - | 0 | 0 | 0 | 0x0 | 0x0 | 3 | 0x0 | 0x0 | 1/0x1 | 0 | 0 | 0 |
| 10 | FUELPOD300 | 0 | 0 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x2000 | 0x0 | 2/0x40 | 0 | 0 | 0 |
| 11 | FUELPOD304 | 0 | 0 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x2000 | 0x0 | 2/0x40 | 0 | 0 | 0 |
| 12 | FUELPOD370 | 0 | 0 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x2000 | 0x0 | 2/0x40 | 0 | 0 | 0 |
| 13 | FUELPOD396 | 0 | 0 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x2000 | 0x0 | 2/0x40 | 0 | 0 | 0 |
| 14 | FUELPOD600 | 0 | 0 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x2000 | 0x0 | 2/0x40 | 0 | 0 | 0 |
| 15 | AGM65B | 2280 | 3800 | 0x204000 | 0x800 | 45° | 10 | 180 | 5 | 0xDC | 0x40000 | 2 | 0x20000 | 0x0 | 2/0x40 | 1 | 20 | 512 |
| 16 | AGM65G | 4940 | 7600 | 0x204000 | 0x800 | 45° | 10 | 180 | 10 | 0xDC | 0x40000 | 2 | 0x20000 | 0x0 | 2/0x40 | 1 | 20 | 512 |
| 17 | AGM84A | 11400 | 15200 | 0x204000 | 0x800 | 45° | 1 | 30 | 3 | 0xDC | 0x40000 | 2 | 0x20000 | 0x0 | 2/0x40 | 1 | 20 | 512 |
| 18 | AGM88 | 9500 | 15200 | 0x204000 | 0x800 | 45° | 0 | 0 | 0 | 0xDC | 0x40000 | 2 | 0x20000 | 0x0 | 2/0x40 | 1 | 20 | 512 |
| 19 | AA10 | 9880 | 13680 | 0x14000 | 0x800 | 45° | 0 | 0 | 0 | 0x64 | 0x50000 | 1 | 0x0 | 0x0 | 1/0x1 | 1 | 20 | 512 |
| 20 | AA8 | 2280 | 3040 | 0x14000 | 0x800 | 45° | 0.125 | 45 | 10 | 0xDC | 0x40000 | 1 | 0x0 | 0x0 | 1/0x1 | 1 | 20 | 512 |
| 21 | AA11 | 6080 | 12160 | 0x14000 | 0x800 | 45° | 0.125 | 45 | 10 | 0xDC | 0x40000 | 1 | 0x0 | 0x0 | 1/0x1 | 1 | 20 | 512 |
| 22 | AA12 | 30400 | 36480 | 0x14000 | 0x800 | 45° | 1 | 30 | 3 | 0x64 | 0x50000 | 1 | 0x0 | 0x0 | 1/0x1 | 1 | 20 | 512 |
| 23 | AS10 | 4180 | 8360 | 0x14000 | 0x800 | 45° | 0.125 | 45 | 10 | 0xDC | 0x40000 | 2 | 0x20000 | 0x0 | 2/0x40 | 1 | 20 | 512 |
| 24 | AS12 | 12160 | 18240 | 0x14000 | 0x800 | 45° | 0.125 | 45 | 10 | 0xDC | 0x40000 | 2 | 0x20000 | 0x0 | 2/0x40 | 1 | 20 | 512 |
| 25 | AS14L | 2280 | 6080 | 0x14000 | 0x800 | 45° | 0.125 | 45 | 10 | 0xDC | 0x40000 | 2 | 0x20000 | 0x0 | 2/0x40 | 1 | 20 | 512 |
| 26 | AS14T | 2280 | 7600 | 0x14000 | 0x800 | 45° | 0.125 | 15 | 10 | 0xDC | 0x40000 | 2 | 0x20000 | 0x0 | 2/0x40 | 1 | 20 | 512 |
| 27 | AS17 | 15200 | 36480 | 0x14000 | 0x800 | 45° | 0 | 0 | 0 | 0xDC | 0x40000 | 2 | 0x20000 | 0x0 | 2/0x40 | 1 | 20 | 512 |
| 28 | GSH301 | 760 | 1520 | 0x0 | 0x0 | - | 0 | 0 | 0 | 0x0 | 0x0 | 3 | 0x0 | 0x0 | 1/0x1 | 0 | 0 | 0 |
| 29 | MK20 | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x0 | 2/0x40 | 0 | 0 | 0 |
| 30 | MK82 | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x8000 | 2/0x40 | 0 | 0 | 0 |
| 31 | MK83 | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x6400 | 2/0x40 | 0 | 0 | 0 |
| 32 | MK84 | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x5400 | 2/0x40 | 0 | 0 | 0 |
| 33 | JDAM500 | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x4000 | 2/0x40 | 0 | 0 | 0 |
| 34 | JDAM1000 | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x3800 | 2/0x40 | 0 | 0 | 0 |
| 35 | JDAM2000 | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x3000 | 2/0x40 | 0 | 0 | 0 |
| 36 | KAB500KR | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0.125 | 25 | 10 | 0x0 | 0x0 | 2 | 0x200000 | 0x2000 | 2/0x40 | 0 | 0 | 0 |
| 37 | FAB250 | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x0 | 2/0x40 | 0 | 0 | 0 |
| 38 | FAB500 | 3040 | 6080 | 0xC000 | 0x400 | 360° | 0 | 0 | 0 | 0x0 | 0x0 | 2 | 0x200000 | 0x0 | 2/0x40 | 0 | 0 | 0 |
)TABLE";

std::vector<std::vector<std::string>> Rows(const char* table) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(table);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::vector<std::string> cells;
        size_t at = 1;
        while (at < line.size()) {
            size_t bar = line.find('|', at);
            if (bar == std::string::npos) break;
            std::string c = line.substr(at, bar - at);
            c.erase(0, c.find_first_not_of(' '));
            c.erase(c.find_last_not_of(' ') + 1);
            cells.push_back(c);
            at = bar + 1;
        }
        rows.push_back(cells);
    }
    return rows;
}

long Num(const std::string& s) { return strtol(s.c_str(), nullptr, 0); }
float Real(const std::string& s) { return strtof(s.c_str(), nullptr); }
std::string Quoted(const char* s) { return s ? "\"" + std::string(s) + "\"" : "-"; }

TEST(WeaponRows, IdentityAndRoutinesAsListed) {
    const std::map<std::string, int> seekers = {
        {"none", WEAPON_SEEKER_NONE},
        {"infrared", WEAPON_SEEKER_INFRARED},
        {"active radar", WEAPON_SEEKER_ACTIVE_RADAR},
        {"semi-active radar", WEAPON_SEEKER_SEMI_ACTIVE_RADAR},
        {"anti-radiation", WEAPON_SEEKER_ANTI_RADIATION},
        {"infrared imaging", WEAPON_SEEKER_INFRARED_IMAGING},
        {"television", WEAPON_SEEKER_TELEVISION},
        {"laser", WEAPON_SEEKER_LASER},
        {"satellite", WEAPON_SEEKER_SATELLITE}};
    const std::map<std::string, int> guidance = {{"none", WEAPON_GUIDANCE_NONE},
                                                 {"pursuit", WEAPON_GUIDANCE_PURSUIT},
                                                 {"pursuit, re-acquire", WEAPON_GUIDANCE_PURSUIT_REACQUIRE}};
    const std::map<std::string, int> launch = {{"none", WEAPON_LAUNCH_NONE},
                                               {"gun", WEAPON_LAUNCH_GUN},
                                               {"missile", WEAPON_LAUNCH_MISSILE},
                                               {"bomb", WEAPON_LAUNCH_BOMB}};
    const std::map<std::string, int> decoys = {
        {"-", WEAPON_DECOYS_NONE}, {"flares", WEAPON_DECOYS_FLARES}, {"chaff", WEAPON_DECOYS_CHAFF}};
    auto rows = Rows(kIdentityTable);
    ASSERT_EQ(rows.size(), (size_t)WEAPON_TYPES);
    for (const auto& c : rows) {
        int i = (int)Num(c[0]);
        const _WEAPON_TYPE& r = weapon_Types[i];
        SCOPED_TRACE(c[1]);
        EXPECT_EQ(r.index, i);
        EXPECT_EQ(Quoted(r.id), c[1]);
        EXPECT_EQ(Quoted(r.displayName), c[2]);
        EXPECT_EQ(Quoted(r.mountModel), c[3]);
        EXPECT_EQ(Quoted(r.model), c[4]);
        EXPECT_EQ(r.kind, (uint32_t)Num(c[5]));
        EXPECT_EQ(r.seeker, seekers.at(c[6]));
        EXPECT_EQ(r.guidance, guidance.at(c[7]));
        EXPECT_EQ(r.launch, launch.at(c[8]));
        EXPECT_EQ(r.designation, c[9] == "yes");
        EXPECT_EQ(r.removal, c[10] == "yes");
        EXPECT_EQ(r.decoys, decoys.at(c[11]));
        // Every bomb row has the two bomb routines, no other row has them.
        EXPECT_EQ(r.bombRoutines, (r.kind & WEAPON_BOMB) ? 1 : 0);
    }
    EXPECT_EQ(weapon_Types[WEAPON_TYPES].id, nullptr);
}

TEST(WeaponRows, StoresHitsAndSoundsAsListed) {
    auto rows = Rows(kStoresTable);
    ASSERT_EQ(rows.size(), (size_t)WEAPON_TYPES);
    for (const auto& c : rows) {
        const _WEAPON_TYPE& r = weapon_Types[Num(c[0])];
        SCOPED_TRACE(c[1]);
        EXPECT_STREQ(r.id, c[1].c_str());
        EXPECT_EQ(r.shortText, Num(c[2]));
        EXPECT_EQ(r.secondText, Num(c[3]));
        EXPECT_EQ(r.secondText, r.shortText + 151);
        EXPECT_FLOAT_EQ(r.mass, Real(c[4]));
        EXPECT_FLOAT_EQ(r.fuel, Real(c[5]));
        EXPECT_EQ(r.hitValue, Num(c[6]));
        EXPECT_EQ(r.hitKind, Num(c[7]));
        EXPECT_EQ(r.lifetime, Num(c[8]));
        EXPECT_EQ(r.releaseInterval, Num(c[9]));
        EXPECT_EQ(r.defaultCount, Num(c[10]));
        EXPECT_EQ(r.defaultCapacity, Num(c[11]));
        EXPECT_EQ(r.soundNumber, Num(c[12]));
        EXPECT_EQ(r.soundNumber, 33 + r.index);
        EXPECT_EQ(r.sizeClass, Num(c[13]));
        EXPECT_EQ(r.rating, Num(c[14]));
        EXPECT_EQ(r.hitSpread, 0);
        EXPECT_EQ(r.reserved0 | r.reserved1 | r.reserved2 | r.reserved3, 0u);
        // Only the two player guns carry gun factors and a firing-sound
        // interval.
        bool gun = r.index == 0 || r.index == 28;
        for (int32_t f : r.gunFactors) EXPECT_EQ(f, gun ? 0x10000 : 0);
        EXPECT_EQ(r.firingSoundInterval, r.index == 0 ? 20 : r.index == 28 ? 40 : 0);
    }
}

TEST(WeaponRows, FlightAndSeekerNumbersAsListed) {
    const std::map<std::string, int32_t> gimbal = {
        {"-", 0}, {"45°", 0x400000}, {"90°", 0x800000}, {"360°", 0x2000000}};
    auto rows = Rows(kFlightTable);
    ASSERT_EQ(rows.size(), (size_t)WEAPON_TYPES);
    for (const auto& c : rows) {
        const _WEAPON_TYPE& r = weapon_Types[Num(c[0])];
        SCOPED_TRACE(c[1]);
        EXPECT_STREQ(r.id, c[1].c_str());
        EXPECT_EQ(r.seekerRange, Num(c[2]));
        EXPECT_EQ(r.secondRange, Num(c[3]));
        EXPECT_EQ(r.turnLimit, Num(c[4]));
        EXPECT_EQ(r.turnRamp, Num(c[5]));
        EXPECT_EQ(r.gimbalLimit, gimbal.at(c[6]));
        EXPECT_FLOAT_EQ(r.slewRate, Real(c[7]));
        EXPECT_FLOAT_EQ(r.seekerField, Real(c[8]));
        EXPECT_FLOAT_EQ(r.lockTolerance, Real(c[9]));
        EXPECT_EQ(r.speedStep, Num(c[10]));
        EXPECT_EQ(r.topSpeed, Num(c[11]));
        EXPECT_EQ(r.targetClasses, Num(c[12]));
        EXPECT_EQ(r.radiusValue, Num(c[13]));
        EXPECT_EQ(r.bombSteeringStep, Num(c[14]));
        size_t slash = c[15].find('/');
        EXPECT_EQ(r.searchKindA, Num(c[15].substr(0, slash)));
        EXPECT_EQ(r.searchKindB, Num(c[15].substr(slash + 1)));
        EXPECT_EQ(r.warningBits, Num(c[16]));
        EXPECT_EQ(r.dropFrames, Num(c[17]));
        EXPECT_EQ(r.dropValue, Num(c[18]));
    }
}

TEST(WeaponRows, StoreClassAndLoadoutTexts) {
    struct Case {
        int32_t type;
        int32_t storeClass;
        const char* kind;
        const char* guidance;
    } cases[] = {
        {-1, 7, nullptr, nullptr},          {39, 7, nullptr, nullptr},
        {0, 0, "LO_AIRTOSHIP", nullptr},    {1, 2, "LO_AIRTOAIR", "LO_HEAT"},
        {2, 1, "LO_AIRTOAIR", "LO_RADAR"},  {19, 1, "LO_AIRTOAIR", "LO_RADAR"},
        {15, 4, "LO_AIRTOGROUND", "LO_TV"}, {17, 3, "LO_AIRTOSHIP", "LO_RADAR"},
        {16, 4, "LO_AIRTOGROUND", "LO_HEAT"}, {23, 4, "LO_AIRTOGROUND", "LO_LASER"},
        {3, 5, "LO_BOMB", "LO_GPS"},        {29, 5, "LO_BOMB", nullptr},
        {10, 6, "LO_FUELPOD", nullptr},     {9, 7, nullptr, nullptr},
        {4, 0, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(ord_StoreClass(c.type), c.storeClass);
        EXPECT_STREQ(weapon_KindText(c.type), c.kind);
        EXPECT_STREQ(weapon_GuidanceText(c.type), c.guidance);
    }
}

TEST(WeaponRows, ProcessedTypeFallsBackToRowZero) {
    weapon_SetCurrentType(17);
    EXPECT_EQ(weapon_ProcessedType, &weapon_Types[17]);
    weapon_SetCurrentType(39);
    EXPECT_EQ(weapon_ProcessedType, &weapon_Types[0]);
    weapon_SetCurrentType(-5);
    EXPECT_EQ(weapon_ProcessedType, &weapon_Types[0]);
}

}  // namespace
