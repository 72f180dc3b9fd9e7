#!/usr/bin/env python3
"""Writes OBDII.txt, the trouble-code library shipped with Varnok.

The library holds the generic (manufacturer-independent) codes of the SAE
numbering (SAE J2012 wording): powertrain P0xxx (with the hybrid P0A00 to
P0A20), P2xxx (with P2A00 to P2A05) and P34xx, a set of chassis C0xxx and
body B0xxx codes and the network U0xxx codes. Most codes come in families
(a sensor circuit and its faults, a bank or cylinder series), so the list is
built from those families. A code whose generic wording is not certain is
left out rather than guessed. One line per code: the 5-character code, one
blank, the description; LF line ends; plain ASCII.

Usage: make_obdii.py [OUTPUT]   (default: OBDII.txt beside this script)
"""
import os
import sys

codes = {}


def add(code, text):
    if code in codes:
        raise SystemExit("duplicate code %s" % code)
    if len(code) != 5:
        raise SystemExit("bad code %r" % code)
    codes[code] = text


def p(n, text):
    add("P%04d" % n, text)


def u(n, text):
    add("U%04d" % n, text)


def series(prefix, start, texts):
    """Consecutive codes from `start` (an int) with the given texts."""
    for i, t in enumerate(texts):
        add("%s%04d" % (prefix, start + i), t)


# Fault suffixes of the common circuit families.
SENSOR5 = ["Circuit Malfunction", "Circuit Range/Performance", "Circuit Low Input",
           "Circuit High Input", "Circuit Intermittent"]
SENSOR4 = SENSOR5[:4]
CTRL3 = ["Control Circuit/Open", "Control Circuit Low", "Control Circuit High"]
SOLENOID5 = ["Malfunction", "Performance or Stuck Off", "Stuck On", "Electrical", "Intermittent"]


def sensor(prefix, start, name, suffixes=SENSOR5):
    series(prefix, start, ["%s %s" % (name, s) for s in suffixes])


def ps(start, name, suffixes=SENSOR5):
    sensor("P", start, name, suffixes)


BANK_SENSOR = [(1, 1), (1, 2), (1, 3), (2, 1), (2, 2), (2, 3)]

# ---------------------------------------------------------------- P00xx
series("P", 1, [
    "Fuel Volume Regulator Control Circuit/Open",
    "Fuel Volume Regulator Control Circuit Range/Performance",
    "Fuel Volume Regulator Control Circuit Low",
    "Fuel Volume Regulator Control Circuit High",
    "Fuel Shutoff Valve A Control Circuit/Open",
    "Fuel Shutoff Valve A Control Circuit Low",
    "Fuel Shutoff Valve A Control Circuit High",
    "Engine Position System Performance Bank 1",
    "Engine Position System Performance Bank 2",
])
for bank, base in ((1, 10), (2, 20)):
    for cam, off in (("A", 0), ("B", 3)):
        series("P", base + off, [
            "%s Camshaft Position Actuator Circuit (Bank %d)" % (cam, bank),
            "%s Camshaft Position - Timing Over-Advanced or System Performance (Bank %d)" % (cam, bank),
            "%s Camshaft Position - Timing Over-Retarded (Bank %d)" % (cam, bank),
        ])
series("P", 16, ["Crankshaft Position - Camshaft Position Correlation (Bank %d Sensor %s)" % bs
                 for bs in ((1, "A"), (1, "B"), (2, "A"), (2, "B"))])
series("P", 26, [
    "Intake Valve Control Solenoid Circuit Range/Performance (Bank 1)",
    "Exhaust Valve Control Solenoid Circuit Range/Performance (Bank 1)",
    "Intake Valve Control Solenoid Circuit Range/Performance (Bank 2)",
    "Exhaust Valve Control Solenoid Circuit Range/Performance (Bank 2)",
])
for start, (bank, sens) in ((30, (1, 1)), (36, (1, 2)), (42, (1, 3)), (50, (2, 1)), (56, (2, 2)),
                            (62, (2, 3))):
    series("P", start, ["HO2S Heater Control Circuit (Bank %d Sensor %d)" % (bank, sens),
                        "HO2S Heater Control Circuit Low (Bank %d Sensor %d)" % (bank, sens),
                        "HO2S Heater Control Circuit High (Bank %d Sensor %d)" % (bank, sens)])
series("P", 33, ["Turbo/Super Charger Bypass Valve Control Circuit",
                 "Turbo/Super Charger Bypass Valve Control Circuit Low",
                 "Turbo/Super Charger Bypass Valve Control Circuit High"])
p(39, "Turbo/Super Charger Bypass Valve Control Circuit Range/Performance")
p(40, "O2 Sensor Signals Swapped Bank 1 Sensor 1/Bank 2 Sensor 1")
p(41, "O2 Sensor Signals Swapped Bank 1 Sensor 2/Bank 2 Sensor 2")
series("P", 45, ["Turbo/Super Charger Boost Control A Circuit/Open",
                 "Turbo/Super Charger Boost Control A Circuit Range/Performance",
                 "Turbo/Super Charger Boost Control A Circuit Low",
                 "Turbo/Super Charger Boost Control A Circuit High",
                 "Turbo/Super Charger Turbine Overspeed"])
series("P", 53, ["HO2S Heater Resistance (Bank 1 Sensor 1)", "HO2S Heater Resistance (Bank 1 Sensor 2)",
                 "HO2S Heater Resistance (Bank 1 Sensor 3)"])
series("P", 59, ["HO2S Heater Resistance (Bank 2 Sensor 1)", "HO2S Heater Resistance (Bank 2 Sensor 2)",
                 "HO2S Heater Resistance (Bank 2 Sensor 3)"])
series("P", 65, [
    "Air Assisted Injector Control Range/Performance",
    "Air Assisted Injector Control Circuit or Circuit Low",
    "Air Assisted Injector Control Circuit High",
    "Manifold Absolute Pressure/Mass Air Flow - Throttle Position Correlation",
    "Manifold Absolute Pressure - Barometric Pressure Correlation",
])
ps(70, "Ambient Air Temperature Sensor")
for start, (valve, bank) in ((75, ("Intake", 1)), (78, ("Exhaust", 1)), (81, ("Intake", 2)),
                             (84, ("Exhaust", 2))):
    series("P", start, ["%s Valve Control Solenoid Circuit (Bank %d)" % (valve, bank),
                        "%s Valve Control Solenoid Circuit Low (Bank %d)" % (valve, bank),
                        "%s Valve Control Solenoid Circuit High (Bank %d)" % (valve, bank)])
series("P", 87, [
    "Fuel Rail/System Pressure - Too Low",
    "Fuel Rail/System Pressure - Too High",
    "Fuel Pressure Regulator 1 Performance",
    "Fuel Pressure Regulator 1 Control Circuit",
    "Fuel Pressure Regulator 1 Control Circuit Low",
    "Fuel Pressure Regulator 1 Control Circuit High",
    "Fuel System Leak Detected - Large Leak",
    "Fuel System Leak Detected - Small Leak",
])
ps(95, "Intake Air Temperature Sensor 2")

# ---------------------------------------------------------------- P01xx
ps(100, "Mass or Volume Air Flow")
ps(105, "Manifold Absolute Pressure/Barometric Pressure")
ps(110, "Intake Air Temperature")
ps(115, "Engine Coolant Temperature")
ps(120, "Throttle/Pedal Position Sensor/Switch A")
series("P", 125, [
    "Insufficient Coolant Temperature for Closed Loop Fuel Control",
    "Insufficient Coolant Temperature for Stable Operation",
    "Intake Air Temperature Too High",
    "Coolant Thermostat (Coolant Temperature Below Thermostat Regulating Temperature)",
    "Barometric Pressure Too Low",
])
O2_FAULTS = ["Circuit Malfunction", "Circuit Low Voltage", "Circuit High Voltage",
             "Circuit Slow Response", "Circuit No Activity Detected", "Heater Circuit Malfunction"]
for start, (bank, sens) in zip((130, 136, 142, 150, 156, 162), BANK_SENSOR):
    series("P", start, ["O2 Sensor %s (Bank %d Sensor %d)" % (f, bank, sens) for f in O2_FAULTS])
p(148, "Fuel Delivery Error")
p(149, "Fuel Timing Error")
p(168, "Fuel Temperature Too High")
p(169, "Incorrect Fuel Composition")
series("P", 170, ["Fuel Trim Malfunction (Bank 1)", "System Too Lean (Bank 1)", "System Too Rich (Bank 1)",
                  "Fuel Trim Malfunction (Bank 2)", "System Too Lean (Bank 2)", "System Too Rich (Bank 2)"])
ps(176, "Fuel Composition Sensor", SENSOR4)
ps(180, "Fuel Temperature Sensor A")
ps(185, "Fuel Temperature Sensor B")
ps(190, "Fuel Rail Pressure Sensor")
series("P", 195, ["Engine Oil Temperature Sensor Malfunction", "Engine Oil Temperature Sensor Range/Performance",
                  "Engine Oil Temperature Sensor Low", "Engine Oil Temperature Sensor High",
                  "Engine Oil Temperature Sensor Intermittent"])

# ---------------------------------------------------------------- P02xx
p(200, "Injector Circuit Malfunction")
for cyl in range(1, 13):
    p(200 + cyl, "Injector Circuit Malfunction - Cylinder %d" % cyl)
series("P", 213, [
    "Cold Start Injector 1 Malfunction",
    "Cold Start Injector 2 Malfunction",
    "Engine Shutoff Solenoid Malfunction",
    "Injection Timing Control Circuit Malfunction",
    "Engine Overtemperature Condition",
    "Transmission Overtemperature Condition",
    "Engine Overspeed Condition",
])
ps(220, "Throttle/Pedal Position Sensor/Switch B")
ps(225, "Throttle/Pedal Position Sensor/Switch C")
series("P", 230, ["Fuel Pump Primary Circuit Malfunction", "Fuel Pump Secondary Circuit Low",
                  "Fuel Pump Secondary Circuit High", "Fuel Pump Secondary Circuit Intermittent",
                  "Turbo/Super Charger Overboost Condition"])
ps(235, "Turbo/Super Charger Boost Sensor A", SENSOR4)
ps(239, "Turbo/Super Charger Boost Sensor B", SENSOR4)
series("P", 243, ["Turbo/Super Charger Wastegate Solenoid A Malfunction",
                  "Turbo/Super Charger Wastegate Solenoid A Range/Performance",
                  "Turbo/Super Charger Wastegate Solenoid A Low",
                  "Turbo/Super Charger Wastegate Solenoid A High",
                  "Turbo/Super Charger Wastegate Solenoid B Malfunction",
                  "Turbo/Super Charger Wastegate Solenoid B Range/Performance",
                  "Turbo/Super Charger Wastegate Solenoid B Low",
                  "Turbo/Super Charger Wastegate Solenoid B High"])
for start, letter in ((251, "A"), (256, "B")):
    series("P", start, ["Injection Pump Fuel Metering Control %s Malfunction (Cam/Rotor/Injector)" % letter,
                        "Injection Pump Fuel Metering Control %s Range/Performance (Cam/Rotor/Injector)" % letter,
                        "Injection Pump Fuel Metering Control %s Low (Cam/Rotor/Injector)" % letter,
                        "Injection Pump Fuel Metering Control %s High (Cam/Rotor/Injector)" % letter,
                        "Injection Pump Fuel Metering Control %s Intermittent (Cam/Rotor/Injector)" % letter])
for cyl in range(1, 13):
    series("P", 261 + 3 * (cyl - 1), ["Cylinder %d Injector Circuit Low" % cyl,
                                      "Cylinder %d Injector Circuit High" % cyl,
                                      "Cylinder %d Contribution/Balance Fault" % cyl])
p(298, "Engine Oil Over Temperature")
p(299, "Turbo/Super Charger Underboost")

# ---------------------------------------------------------------- P03xx
p(300, "Random/Multiple Cylinder Misfire Detected")
for cyl in range(1, 13):
    p(300 + cyl, "Cylinder %d Misfire Detected" % cyl)
series("P", 313, ["Misfire Detected with Low Fuel", "Single Cylinder Misfire (Cylinder not Specified)",
                  "Crankshaft Position System Variation Not Learned",
                  "Misfire Detected on Startup (First 1000 Revolutions)"])
series("P", 320, ["Ignition/Distributor Engine Speed Input Circuit Malfunction",
                  "Ignition/Distributor Engine Speed Input Circuit Range/Performance",
                  "Ignition/Distributor Engine Speed Input Circuit No Signal",
                  "Ignition/Distributor Engine Speed Input Circuit Intermittent"])
ps(325, "Knock Sensor 1 (Bank 1 or Single Sensor)")
ps(330, "Knock Sensor 2 (Bank 2)")
ps(335, "Crankshaft Position Sensor A")
ps(340, "Camshaft Position Sensor A (Bank 1 or Single Sensor)")
ps(345, "Camshaft Position Sensor A (Bank 2)")
p(350, "Ignition Coil Primary/Secondary Circuit Malfunction")
for i, letter in enumerate("ABCDEFGHIJKL"):
    p(351 + i, "Ignition Coil %s Primary/Secondary Circuit Malfunction" % letter)
ps(365, "Camshaft Position Sensor B (Bank 1)")
for start, letter in ((370, "A"), (375, "B")):
    series("P", start, ["Timing Reference High Resolution Signal %s Malfunction" % letter,
                        "Timing Reference High Resolution Signal %s Too Many Pulses" % letter,
                        "Timing Reference High Resolution Signal %s Too Few Pulses" % letter,
                        "Timing Reference High Resolution Signal %s Intermittent/Erratic Pulses" % letter,
                        "Timing Reference High Resolution Signal %s No Pulses" % letter])
series("P", 380, ["Glow Plug/Heater Circuit A Malfunction", "Glow Plug/Heater Indicator Circuit Malfunction",
                  "Glow Plug/Heater Circuit B Malfunction"])
ps(385, "Crankshaft Position Sensor B")
ps(390, "Camshaft Position Sensor B (Bank 2)")

# ---------------------------------------------------------------- P04xx
series("P", 400, [
    "Exhaust Gas Recirculation Flow Malfunction",
    "Exhaust Gas Recirculation Flow Insufficient Detected",
    "Exhaust Gas Recirculation Flow Excessive Detected",
    "Exhaust Gas Recirculation Circuit Malfunction",
    "Exhaust Gas Recirculation Circuit Range/Performance",
    "Exhaust Gas Recirculation Sensor A Circuit Low",
    "Exhaust Gas Recirculation Sensor A Circuit High",
    "Exhaust Gas Recirculation Sensor B Circuit Low",
    "Exhaust Gas Recirculation Sensor B Circuit High",
    "Exhaust Gas Recirculation Sensor A Circuit",
    "Secondary Air Injection System Malfunction",
    "Secondary Air Injection System Incorrect Flow Detected",
    "Secondary Air Injection System Switching Valve A Circuit Malfunction",
    "Secondary Air Injection System Switching Valve A Circuit Open",
    "Secondary Air Injection System Switching Valve A Circuit Shorted",
    "Secondary Air Injection System Switching Valve B Circuit Malfunction",
    "Secondary Air Injection System Switching Valve B Circuit Open",
    "Secondary Air Injection System Switching Valve B Circuit Shorted",
    "Secondary Air Injection System Relay A Circuit Malfunction",
    "Secondary Air Injection System Relay B Circuit Malfunction",
])
for start, bank in ((420, 1), (430, 2)):
    series("P", start, [t % bank for t in (
        "Catalyst System Efficiency Below Threshold (Bank %d)",
        "Warm Up Catalyst Efficiency Below Threshold (Bank %d)",
        "Main Catalyst Efficiency Below Threshold (Bank %d)",
        "Heated Catalyst Efficiency Below Threshold (Bank %d)",
        "Heated Catalyst Temperature Below Threshold (Bank %d)",
        "Catalyst Temperature Sensor (Bank %d)",
        "Catalyst Temperature Sensor Range/Performance (Bank %d)",
        "Catalyst Temperature Sensor Low Input (Bank %d)",
        "Catalyst Temperature Sensor High Input (Bank %d)",
        "Catalyst Heater Control Circuit (Bank %d)")])
series("P", 440, [
    "Evaporative Emission Control System Malfunction",
    "Evaporative Emission Control System Incorrect Purge Flow",
    "Evaporative Emission Control System Leak Detected (small leak)",
    "Evaporative Emission Control System Purge Control Valve Circuit Malfunction",
    "Evaporative Emission Control System Purge Control Valve Circuit Open",
    "Evaporative Emission Control System Purge Control Valve Circuit Shorted",
    "Evaporative Emission Control System Vent Control Circuit Malfunction",
    "Evaporative Emission Control System Vent Control Circuit Open",
    "Evaporative Emission Control System Vent Control Circuit Shorted",
    "Evaporative Emission Control System Vent Valve/Solenoid Circuit Malfunction",
    "Evaporative Emission Control System Pressure Sensor Malfunction",
    "Evaporative Emission Control System Pressure Sensor Range/Performance",
    "Evaporative Emission Control System Pressure Sensor Low Input",
    "Evaporative Emission Control System Pressure Sensor High Input",
    "Evaporative Emission Control System Pressure Sensor Intermittent",
    "Evaporative Emission Control System Leak Detected (gross leak)",
    "Evaporative Emission Control System Leak Detected (very small leak)",
    "Evaporative Emission Control System Leak Detected (fuel cap loose/off)",
    "Evaporative Emission System Purge Control Valve Circuit Low",
    "Evaporative Emission System Purge Control Valve Circuit High",
])
ps(460, "Fuel Level Sensor")
ps(465, "EVAP Purge Flow Sensor")
series("P", 470, ["Exhaust Pressure Sensor Malfunction", "Exhaust Pressure Sensor Range/Performance",
                  "Exhaust Pressure Sensor Low", "Exhaust Pressure Sensor High",
                  "Exhaust Pressure Sensor Intermittent", "Exhaust Pressure Control Valve Malfunction",
                  "Exhaust Pressure Control Valve Range/Performance", "Exhaust Pressure Control Valve Low",
                  "Exhaust Pressure Control Valve High", "Exhaust Pressure Control Valve Intermittent"])
series("P", 480, [
    "Cooling Fan 1 Control Circuit Malfunction",
    "Cooling Fan 2 Control Circuit Malfunction",
    "Cooling Fan 3 Control Circuit Malfunction",
    "Cooling Fan Rationality Check Malfunction",
    "Cooling Fan Circuit Over Current",
    "Cooling Fan Power/Ground Circuit Malfunction",
    "Exhaust Gas Recirculation Sensor B Circuit",
    "Exhaust Gas Recirculation Throttle Position Control Circuit",
    "Exhaust Gas Recirculation Throttle Position Control Range/Performance",
    "Exhaust Gas Recirculation Control Circuit Low",
    "Exhaust Gas Recirculation Control Circuit High",
    "Secondary Air Injection System (Bank 1)",
    "Secondary Air Injection System (Bank 2)",
    "Fan Overspeed",
    "Fan Speed Low",
    "Fan Speed High",
    "Evaporative Emission System High Purge Flow",
    "Evaporative Emission System Low Purge Flow",
    "Evaporative Emission System Vent Valve Control Circuit Low",
    "Evaporative Emission System Vent Valve Control Circuit High",
])

# ---------------------------------------------------------------- P05xx
series("P", 500, ["Vehicle Speed Sensor Malfunction", "Vehicle Speed Sensor Range/Performance",
                  "Vehicle Speed Sensor Circuit Low Input", "Vehicle Speed Sensor Intermittent/Erratic/High"])
series("P", 505, [
    "Idle Control System Malfunction",
    "Idle Control System RPM Lower Than Expected",
    "Idle Control System RPM Higher Than Expected",
    "Idle Air Control System Circuit Low",
    "Idle Air Control System Circuit High",
    "Closed Throttle Position Switch Malfunction",
    "Idle Air Control Circuit",
    "Starter Request Circuit",
    "Invalid SKIM Key",
    "Battery Temperature Sensor Circuit Range/Performance",
    "Battery Temperature Sensor Circuit",
    "Battery Temperature Sensor Circuit Low",
    "Battery Temperature Sensor Circuit High",
])
series("P", 520, ["Engine Oil Pressure Sensor/Switch Circuit Malfunction",
                  "Engine Oil Pressure Sensor/Switch Circuit Range/Performance",
                  "Engine Oil Pressure Sensor/Switch Circuit Low Voltage",
                  "Engine Oil Pressure Sensor/Switch Circuit High Voltage",
                  "Engine Oil Pressure Too Low"])
series("P", 530, ["A/C Refrigerant Pressure Sensor Circuit Malfunction",
                  "A/C Refrigerant Pressure Sensor Circuit Range/Performance",
                  "A/C Refrigerant Pressure Sensor Circuit Low Input",
                  "A/C Refrigerant Pressure Sensor Circuit High Input",
                  "Air Conditioner Refrigerant Charge Loss"])
series("P", 540, ["Intake Air Heater A Circuit", "Intake Air Heater A Circuit Low",
                  "Intake Air Heater A Circuit High", "Intake Air Heater A Circuit Open",
                  "Exhaust Gas Temperature Sensor Circuit (Bank 1 Sensor 1)",
                  "Exhaust Gas Temperature Sensor Circuit Low (Bank 1 Sensor 1)",
                  "Exhaust Gas Temperature Sensor Circuit High (Bank 1 Sensor 1)",
                  "Exhaust Gas Temperature Sensor Circuit (Bank 2 Sensor 1)",
                  "Exhaust Gas Temperature Sensor Circuit Low (Bank 2 Sensor 1)",
                  "Exhaust Gas Temperature Sensor Circuit High (Bank 2 Sensor 1)"])
ps(550, "Power Steering Pressure Sensor")
series("P", 560, [
    "System Voltage Malfunction",
    "System Voltage Unstable",
    "System Voltage Low",
    "System Voltage High",
    "Cruise Control Multi-Function Input Signal",
    "Cruise Control On Signal Malfunction",
    "Cruise Control Off Signal Malfunction",
    "Cruise Control Resume Signal Malfunction",
    "Cruise Control Set Signal Malfunction",
    "Cruise Control Coast Signal Malfunction",
    "Cruise Control Accel Signal Malfunction",
    "Cruise Control/Brake Switch A Circuit Malfunction",
    "Cruise Control/Brake Switch A Circuit Low",
    "Cruise Control/Brake Switch A Circuit High",
    "Cruise Control System - Vehicle Speed Too High",
    "Cruise Control Input Circuit",
    "Cruise Control Input Circuit Low",
    "Cruise Control Input Circuit High",
])
series("P", 600, [
    "Serial Communication Link Malfunction",
    "Internal Control Module Memory Check Sum Error",
    "Control Module Programming Error",
    "Internal Control Module Keep Alive Memory (KAM) Error",
    "Internal Control Module Random Access Memory (RAM) Error",
    "Internal Control Module Read Only Memory (ROM) Error",
    "Control Module Processor Fault",
    "Control Module Performance",
    "Control Module VSS Output A Malfunction",
    "Control Module VSS Output B Malfunction",
    "Control Module Vehicle Options Error",
    "Fuel Injector Control Module Performance",
    "Fuel Injector Control Module Relay Control",
    "TCM Processor",
    "ECM/TCM Incompatible",
    "Starter Relay Circuit",
    "Starter Relay Circuit Low",
    "Starter Relay Circuit High",
    "Alternative Fuel Control Module KAM Error",
    "Alternative Fuel Control Module RAM/ROM Error",
    "Generator Control Circuit Malfunction",
    "Generator Lamp L Control Circuit Malfunction",
    "Generator Field F Control Circuit Malfunction",
    "Generator Lamp Control Circuit",
    "Fuel Cap Lamp Control Circuit",
    "Generator Field Terminal Circuit Low",
    "Generator Field Terminal Circuit High",
    "Fuel Pump A Control Circuit/Open",
    "Fuel Pump A Control Circuit Low",
    "Fuel Pump A Control Circuit High",
    "VIN Not Programmed or Incompatible - ECM/PCM",
    "VIN Not Programmed or Incompatible - TCM",
    "Odometer Not Programmed - ECM/PCM",
    "Immobilizer Key Not Programmed - ECM/PCM",
    "PCM/ECM/TCM Internal Temperature Too High",
    "Power Steering Control Circuit",
    "Power Steering Control Circuit Low",
    "Power Steering Control Circuit High",
    "Throttle Actuator Control Range/Performance (Bank 1)",
    "Throttle Actuator Control Range/Performance (Bank 2)",
    "Intake Air Heater Control Circuit",
    "Sensor Reference Voltage A Circuit/Open",
    "Sensor Reference Voltage A Circuit Low",
    "Sensor Reference Voltage A Circuit High",
    "Driver Display Serial Communication Circuit",
    "A/C Clutch Relay Control Circuit",
    "A/C Clutch Relay Control Circuit Low",
    "A/C Clutch Relay Control Circuit High",
    "Immobilizer Lamp Control Circuit",
    "Speed Control Lamp Control Circuit",
    "Malfunction Indicator Lamp (MIL) Control Circuit Malfunction",
    "Sensor Reference Voltage B Circuit/Open",
    "Sensor Reference Voltage B Circuit Low",
    "Sensor Reference Voltage B Circuit High",
    "Engine RPM Output Circuit Malfunction",
    "Engine Hot Lamp Output Control Circuit Malfunction",
    "Fuel Level Output Circuit Malfunction",
    "Actuator Supply Voltage A Circuit/Open",
    "Actuator Supply Voltage A Circuit Low",
    "Actuator Supply Voltage A Circuit High",
    "Intake Manifold Tuning Valve Control Circuit/Open (Bank 1)",
    "Intake Manifold Tuning Valve Control Circuit Low (Bank 1)",
    "Intake Manifold Tuning Valve Control Circuit High (Bank 1)",
    "Intake Manifold Tuning Valve Control Circuit/Open (Bank 2)",
    "Intake Manifold Tuning Valve Control Circuit Low (Bank 2)",
    "Intake Manifold Tuning Valve Control Circuit High (Bank 2)",
    "PCM/ECM/TCM Internal Temperature Sensor Circuit",
    "PCM/ECM/TCM Internal Temperature Sensor Range/Performance",
    "PCM/ECM/TCM Internal Temperature Sensor Circuit Low",
    "PCM/ECM/TCM Internal Temperature Sensor Circuit High",
    "Glow Plug Module Control Circuit",
])
for cyl in range(1, 13):
    p(670 + cyl, "Cylinder %d Glow Plug Circuit" % cyl)
series("P", 683, [
    "Glow Plug Control Module to PCM Communication Circuit",
    "Glow Plug Control Module to PCM Communication Circuit Range/Performance",
    "ECM/PCM Power Relay Control Circuit/Open",
    "ECM/PCM Power Relay Control Circuit Low",
    "ECM/PCM Power Relay Control Circuit High",
    "ECM/PCM Power Relay Sense Circuit/Open",
    "ECM/PCM Power Relay Sense Circuit Low",
    "ECM/PCM Power Relay Sense Circuit High",
    "Fan 1 Control Circuit Low",
    "Fan 1 Control Circuit High",
    "Fan 2 Control Circuit Low",
    "Fan 2 Control Circuit High",
    "Fan 3 Control Circuit Low",
    "Fan 3 Control Circuit High",
    "Sensor Reference Voltage C Circuit/Open",
    "Sensor Reference Voltage C Circuit Low",
    "Sensor Reference Voltage C Circuit High",
])

# ---------------------------------------------------------------- P07xx
series("P", 700, [
    "Transmission Control System Malfunction",
    "Transmission Control System Range/Performance",
    "Transmission Control System Electrical",
    "Torque Converter/Brake Switch B Circuit Malfunction",
    "Clutch Switch Input Circuit Malfunction",
    "Transmission Range Sensor Circuit Malfunction (PRNDL Input)",
    "Transmission Range Sensor Circuit Range/Performance",
    "Transmission Range Sensor Circuit Low Input",
    "Transmission Range Sensor Circuit High Input",
    "Transmission Range Sensor Circuit Intermittent",
])
ps(710, "Transmission Fluid Temperature Sensor")
SPEED4 = ["Circuit Malfunction", "Circuit Range/Performance", "Circuit No Signal", "Circuit Intermittent"]
ps(715, "Input/Turbine Speed Sensor", SPEED4)
p(719, "Torque Converter/Brake Switch B Circuit Low")
ps(720, "Output Speed Sensor", SPEED4)
p(724, "Torque Converter/Brake Switch B Circuit High")
ps(725, "Engine Speed Input", SPEED4)
series("P", 730, ["Incorrect Gear Ratio", "Gear 1 Incorrect Ratio", "Gear 2 Incorrect Ratio",
                  "Gear 3 Incorrect Ratio", "Gear 4 Incorrect Ratio", "Gear 5 Incorrect Ratio",
                  "Reverse Incorrect Ratio"])
ps(740, "Torque Converter Clutch Circuit", SOLENOID5)
ps(745, "Pressure Control Solenoid", SOLENOID5)
for i, letter in enumerate("ABCDE"):
    ps(750 + 5 * i, "Shift Solenoid %s" % letter, SOLENOID5)
series("P", 780, ["Shift Malfunction", "1-2 Shift Malfunction", "2-3 Shift Malfunction",
                  "3-4 Shift Malfunction", "4-5 Shift Malfunction", "Shift/Timing Solenoid Malfunction",
                  "Shift/Timing Solenoid Range/Performance", "Shift/Timing Solenoid Low",
                  "Shift/Timing Solenoid High", "Shift/Timing Solenoid Intermittent",
                  "Normal/Performance Switch Circuit Malfunction"])
ps(791, "Intermediate Shaft Speed Sensor A", SPEED4)
ps(795, "Pressure Control Solenoid C", SOLENOID5)

# ---------------------------------------------------------------- P08xx
p(801, "Reverse Inhibit Control Circuit Malfunction")
series("P", 803, ["1-4 Upshift (Skip Shift) Solenoid Control Circuit Malfunction",
                  "1-4 Upshift (Skip Shift) Lamp Control Circuit Malfunction"])
ps(805, "Clutch Position Sensor", ["Circuit", "Circuit Range/Performance", "Circuit Low",
                                   "Circuit High", "Circuit Intermittent"])
series("P", 810, ["Clutch Position Control Error", "Excessive Clutch Slippage", "Reverse Input Circuit",
                  "Reverse Output Circuit", "Transmission Range Display Circuit", "Upshift Switch Circuit",
                  "Downshift Switch Circuit", "Starter Disable Circuit",
                  "Driveline Disconnect Switch Input Circuit"])
series("P", 820, ["Gear Lever X-Y Position Sensor Circuit", "Gear Lever X Position Circuit",
                  "Gear Lever Y Position Circuit", "Gear Lever X Position Circuit Intermittent",
                  "Gear Lever Y Position Circuit Intermittent", "Gear Lever Push-Pull Switch (Shift Anticipate)"])
series("P", 830, ["Clutch Pedal Switch A Circuit", "Clutch Pedal Switch A Circuit Low",
                  "Clutch Pedal Switch A Circuit High", "Clutch Pedal Switch B Circuit",
                  "Clutch Pedal Switch B Circuit Low", "Clutch Pedal Switch B Circuit High",
                  "Four Wheel Drive (4WD) Switch Circuit", "Four Wheel Drive (4WD) Switch Circuit Range/Performance",
                  "Four Wheel Drive (4WD) Switch Circuit Low", "Four Wheel Drive (4WD) Switch Circuit High"])
CIRCUIT5 = ["Circuit", "Circuit Range/Performance", "Circuit Low", "Circuit High", "Circuit Intermittent"]
ps(840, "Transmission Fluid Pressure Sensor/Switch A", CIRCUIT5)
ps(845, "Transmission Fluid Pressure Sensor/Switch B", CIRCUIT5)
series("P", 850, ["Park/Neutral Switch Input Circuit", "Park/Neutral Switch Input Circuit Low",
                  "Park/Neutral Switch Input Circuit High"])

# ---------------------------------------------------------------- P09xx
ACT4 = ["Circuit/Open", "Circuit Range/Performance", "Circuit Low", "Circuit High"]
ps(900, "Clutch Actuator", ACT4)
ps(904, "Transmission Gate Select Position", CIRCUIT5)
p(909, "Gate Select Control Error")
ps(910, "Gate Select Actuator", ACT4)
ps(914, "Gear Shift Position", CIRCUIT5)
p(919, "Gear Shift Position Control Error")
ps(920, "Gear Shift Forward Actuator", ACT4)
ps(924, "Gear Shift Reverse Actuator", ACT4)
ps(928, "Gear Shift Lock Solenoid Control", ACT4)
ps(932, "Hydraulic Pressure Sensor", CIRCUIT5)
ps(937, "Hydraulic Oil Temperature Sensor", CIRCUIT5)
series("P", 942, ["Hydraulic Pressure Unit", "Hydraulic Pressure Unit Cycling Period Too Short",
                  "Hydraulic Pressure Unit Loss of Pressure"])
ps(945, "Hydraulic Pump Relay", ACT4)
p(949, "Auto Shift Manual Adaptive Learning Not Complete")
ps(950, "Auto Shift Manual Control", CIRCUIT5)
ps(955, "Auto Shift Manual Mode", CIRCUIT5[:4])
for i, letter in enumerate("ABC"):
    ps(960 + 4 * i, "Pressure Control Solenoid %s Control" % letter, ACT4)
for i, letter in enumerate("ABCDE"):
    ps(972 + 3 * i, "Shift Solenoid %s Control Circuit" % letter, ["Range/Performance", "Low", "High"])
ps(987, "Transmission Fluid Pressure Sensor/Switch E", CIRCUIT5)
ps(992, "Transmission Fluid Pressure Sensor/Switch F", CIRCUIT5)
ps(997, "Shift Solenoid F Control Circuit", ["Range/Performance", "Low", "High"])

# ---------------------------------------------------------------- P20xx
series("P", 2000, ["NOx Trap Efficiency Below Threshold (Bank 1)", "NOx Trap Efficiency Below Threshold (Bank 2)",
                   "Particulate Trap Efficiency Below Threshold (Bank 1)",
                   "Particulate Trap Efficiency Below Threshold (Bank 2)",
                   "Intake Manifold Runner Control Stuck Open (Bank 1)",
                   "Intake Manifold Runner Control Stuck Open (Bank 2)",
                   "Intake Manifold Runner Control Stuck Closed (Bank 1)",
                   "Intake Manifold Runner Control Stuck Closed (Bank 2)"])
for start, bank in ((2008, 1), (2011, 2)):
    series("P", start, ["Intake Manifold Runner Control Circuit/Open (Bank %d)" % bank,
                        "Intake Manifold Runner Control Circuit Low (Bank %d)" % bank,
                        "Intake Manifold Runner Control Circuit High (Bank %d)" % bank])
for start, bank in ((2014, 1), (2019, 2)):
    series("P", start, ["Intake Manifold Runner Position Sensor/Switch %s (Bank %d)" % (s, bank) for s in CIRCUIT5])
series("P", 2024, ["EVAP Fuel Vapor Temperature Sensor Circuit", "EVAP Fuel Vapor Temperature Sensor Performance",
                   "EVAP Fuel Vapor Temperature Sensor Circuit Low Voltage",
                   "EVAP Fuel Vapor Temperature Sensor Circuit High Voltage",
                   "EVAP Fuel Vapor Temperature Sensor Circuit Intermittent",
                   "Fuel Fired Heater Disabled", "Fuel Fired Heater Performance"])
series("P", 2031, ["Exhaust Gas Temperature Sensor Circuit (Bank 1 Sensor 2)",
                   "Exhaust Gas Temperature Sensor Circuit Low (Bank 1 Sensor 2)",
                   "Exhaust Gas Temperature Sensor Circuit High (Bank 1 Sensor 2)",
                   "Exhaust Gas Temperature Sensor Circuit (Bank 2 Sensor 2)",
                   "Exhaust Gas Temperature Sensor Circuit Low (Bank 2 Sensor 2)",
                   "Exhaust Gas Temperature Sensor Circuit High (Bank 2 Sensor 2)"])
ps(2037, "Reductant Injection Air Pressure Sensor", CIRCUIT5)
ps(2042, "Reductant Temperature Sensor", CIRCUIT5)
for start, (bank, unit) in ((2047, (1, 1)), (2050, (2, 1)), (2053, (1, 2)), (2056, (2, 2))):
    series("P", start, ["Reductant Injector Circuit/Open (Bank %d Unit %d)" % (bank, unit),
                        "Reductant Injector Circuit Low (Bank %d Unit %d)" % (bank, unit),
                        "Reductant Injector Circuit High (Bank %d Unit %d)" % (bank, unit)])
ps(2059, "Reductant Injection Air Pump", CTRL3)
ps(2062, "Reductant Supply", CTRL3)
ps(2065, "Fuel Level Sensor B", ["Circuit", "Performance", "Circuit Low", "Circuit High",
                                 "Circuit Intermittent"])
series("P", 2070, ["Intake Manifold Tuning (IMT) Valve Stuck Open", "Intake Manifold Tuning (IMT) Valve Stuck Closed"])
ps(2075, "Intake Manifold Tuning (IMT) Valve Position Sensor/Switch", CIRCUIT5)
series("P", 2080, ["Exhaust Gas Temperature Sensor Circuit Range/Performance (Bank 1 Sensor 1)",
                   "Exhaust Gas Temperature Sensor Circuit Intermittent (Bank 1 Sensor 1)",
                   "Exhaust Gas Temperature Sensor Circuit Range/Performance (Bank 2 Sensor 1)",
                   "Exhaust Gas Temperature Sensor Circuit Intermittent (Bank 2 Sensor 1)",
                   "Exhaust Gas Temperature Sensor Circuit Range/Performance (Bank 1 Sensor 2)",
                   "Exhaust Gas Temperature Sensor Circuit Intermittent (Bank 1 Sensor 2)",
                   "Exhaust Gas Temperature Sensor Circuit Range/Performance (Bank 2 Sensor 2)",
                   "Exhaust Gas Temperature Sensor Circuit Intermittent (Bank 2 Sensor 2)"])
for i, (cam, bank) in enumerate((("A", 1), ("B", 1), ("A", 2), ("B", 2))):
    series("P", 2088 + 2 * i, ["%s Camshaft Position Actuator Control Circuit Low (Bank %d)" % (cam, bank),
                               "%s Camshaft Position Actuator Control Circuit High (Bank %d)" % (cam, bank)])
series("P", 2096, ["Post Catalyst Fuel Trim System Too Lean (Bank 1)",
                   "Post Catalyst Fuel Trim System Too Rich (Bank 1)",
                   "Post Catalyst Fuel Trim System Too Lean (Bank 2)",
                   "Post Catalyst Fuel Trim System Too Rich (Bank 2)"])

# ---------------------------------------------------------------- P21xx
series("P", 2100, [
    "Throttle Actuator Control Motor Circuit/Open",
    "Throttle Actuator Control Motor Circuit Range/Performance",
    "Throttle Actuator Control Motor Circuit Low",
    "Throttle Actuator Control Motor Circuit High",
    "Throttle Actuator Control System - Forced Idle",
    "Throttle Actuator Control System - Forced Engine Shutdown",
    "Throttle Actuator Control System - Forced Limited Power",
    "Throttle Actuator Control Module Processor",
    "Throttle Actuator Control Module Performance",
    "Throttle/Pedal Position Sensor A Minimum Stop Performance",
    "Throttle Actuator Control System - Forced Limited RPM",
    "Throttle Actuator Control System - Stuck Open",
    "Throttle Actuator Control System - Stuck Closed",
    "Throttle/Pedal Position Sensor B Minimum Stop Performance",
    "Throttle/Pedal Position Sensor C Minimum Stop Performance",
    "Throttle/Pedal Position Sensor D Minimum Stop Performance",
    "Throttle/Pedal Position Sensor E Minimum Stop Performance",
    "Throttle/Pedal Position Sensor F Minimum Stop Performance",
    "Throttle Actuator Control Motor Current Range/Performance",
    "Throttle Actuator Control Throttle Body Range/Performance",
])
for i, letter in enumerate("DEF"):
    ps(2120 + 5 * i, "Throttle/Pedal Position Sensor/Switch %s" % letter, CIRCUIT5)
for i, pair in enumerate(("A/B", "A/C", "B/C", "D/E", "D/F", "E/F")):
    p(2135 + i, "Throttle/Pedal Position Sensor/Switch %s Voltage Correlation" % pair)
series("P", 2141, ["Exhaust Gas Recirculation Throttle Control Circuit Low",
                   "Exhaust Gas Recirculation Throttle Control Circuit High",
                   "Exhaust Gas Recirculation Vent Solenoid Control Circuit/Open",
                   "Exhaust Gas Recirculation Vent Solenoid Control Circuit Low",
                   "Exhaust Gas Recirculation Vent Solenoid Control Circuit High"])
for i, letter in enumerate("ABCD"):
    series("P", 2146 + 3 * i, ["Fuel Injector Group %s Supply Voltage Circuit/Open" % letter,
                               "Fuel Injector Group %s Supply Voltage Circuit Low" % letter,
                               "Fuel Injector Group %s Supply Voltage Circuit High" % letter])
series("P", 2158, ["Vehicle Speed Sensor B", "Vehicle Speed Sensor B Range/Performance",
                   "Vehicle Speed Sensor B Circuit Low", "Vehicle Speed Sensor B Intermittent/Erratic",
                   "Vehicle Speed Sensor A/B Correlation",
                   "Throttle/Pedal Position Sensor A Maximum Stop Performance",
                   "Throttle/Pedal Position Sensor B Maximum Stop Performance"])
series("P", 2177, [
    "System Too Lean Off Idle (Bank 1)", "System Too Rich Off Idle (Bank 1)",
    "System Too Lean Off Idle (Bank 2)", "System Too Rich Off Idle (Bank 2)",
    "Cooling System Performance",
    "Engine Coolant Temperature Sensor 2 Circuit",
    "Engine Coolant Temperature Sensor 2 Circuit Range/Performance",
    "Engine Coolant Temperature Sensor 2 Circuit Low",
    "Engine Coolant Temperature Sensor 2 Circuit High",
    "Engine Coolant Temperature Sensor 2 Circuit Intermittent/Erratic",
    "System Too Lean at Idle (Bank 1)", "System Too Rich at Idle (Bank 1)",
    "System Too Lean at Idle (Bank 2)", "System Too Rich at Idle (Bank 2)",
    "System Too Lean at Higher Load (Bank 1)", "System Too Rich at Higher Load (Bank 1)",
    "System Too Lean at Higher Load (Bank 2)", "System Too Rich at Higher Load (Bank 2)",
    "O2 Sensor Signal Stuck Lean (Bank 1 Sensor 1)", "O2 Sensor Signal Stuck Rich (Bank 1 Sensor 1)",
    "O2 Sensor Signal Stuck Lean (Bank 2 Sensor 1)", "O2 Sensor Signal Stuck Rich (Bank 2 Sensor 1)",
    "Intake Air Temperature Sensor 1/2 Correlation",
])

# ---------------------------------------------------------------- P22xx
for start, bank in ((2200, 1), (2213, 2)):
    series("P", start, [t % bank for t in (
        "NOx Sensor Circuit (Bank %d)", "NOx Sensor Circuit Range/Performance (Bank %d)",
        "NOx Sensor Circuit Low Input (Bank %d)", "NOx Sensor Circuit High Input (Bank %d)",
        "NOx Sensor Circuit Intermittent Input (Bank %d)",
        "NOx Sensor Heater Control Circuit/Open (Bank %d)", "NOx Sensor Heater Control Circuit Low (Bank %d)",
        "NOx Sensor Heater Control Circuit High (Bank %d)", "NOx Sensor Heater Sense Circuit (Bank %d)",
        "NOx Sensor Heater Sense Circuit Range/Performance (Bank %d)",
        "NOx Sensor Heater Sense Circuit Low Input (Bank %d)",
        "NOx Sensor Heater Sense Circuit High Input (Bank %d)",
        "NOx Sensor Heater Sense Circuit Intermittent (Bank %d)")])
ps(2226, "Barometric Pressure", ["Circuit", "Circuit Range/Performance", "Circuit Low Input",
                                 "Circuit High Input", "Circuit Intermittent"])
for i, (bank, sens) in enumerate(BANK_SENSOR):
    p(2231 + i, "O2 Sensor Signal Circuit Shorted to Heater Circuit (Bank %d Sensor %d)" % (bank, sens))
for start, bank in ((2237, 1), (2240, 2)):
    series("P", start, ["O2 Sensor Positive Current Control Circuit/Open (Bank %d Sensor 1)" % bank,
                        "O2 Sensor Positive Current Control Circuit Low (Bank %d Sensor 1)" % bank,
                        "O2 Sensor Positive Current Control Circuit High (Bank %d Sensor 1)" % bank])
for start, bank in ((2243, 1), (2247, 2)):
    series("P", start, ["O2 Sensor Reference Voltage Circuit/Open (Bank %d Sensor 1)" % bank,
                        "O2 Sensor Reference Voltage Performance (Bank %d Sensor 1)" % bank,
                        "O2 Sensor Reference Voltage Circuit Low (Bank %d Sensor 1)" % bank,
                        "O2 Sensor Reference Voltage Circuit High (Bank %d Sensor 1)" % bank])
for start, bank in ((2251, 1), (2254, 2)):
    series("P", start, ["O2 Sensor Negative Current Control Circuit/Open (Bank %d Sensor 1)" % bank,
                        "O2 Sensor Negative Current Control Circuit Low (Bank %d Sensor 1)" % bank,
                        "O2 Sensor Negative Current Control Circuit High (Bank %d Sensor 1)" % bank])
series("P", 2257, [
    "Secondary Air Injection System Control A Circuit Low",
    "Secondary Air Injection System Control A Circuit High",
    "Secondary Air Injection System Control B Circuit Low",
    "Secondary Air Injection System Control B Circuit High",
    "Turbo/Super Charger Bypass Valve - Mechanical",
    "Turbo Boost Pressure Not Detected - Mechanical",
    "Turbo/Super Charger Boost System Performance",
    "Water in Fuel Sensor Circuit",
    "Water in Fuel Sensor Circuit Range/Performance",
    "Water in Fuel Sensor Circuit Low",
    "Water in Fuel Sensor Circuit High",
    "Water in Fuel Sensor Circuit Intermittent",
    "Water in Fuel Condition",
    "O2 Sensor Signal Stuck Lean (Bank 1 Sensor 2)",
    "O2 Sensor Signal Stuck Rich (Bank 1 Sensor 2)",
    "O2 Sensor Signal Stuck Lean (Bank 2 Sensor 2)",
    "O2 Sensor Signal Stuck Rich (Bank 2 Sensor 2)",
    "O2 Sensor Signal Stuck Lean (Bank 1 Sensor 3)",
    "O2 Sensor Signal Stuck Rich (Bank 1 Sensor 3)",
    "O2 Sensor Signal Stuck Lean (Bank 2 Sensor 3)",
    "O2 Sensor Signal Stuck Rich (Bank 2 Sensor 3)",
    "O2 Sensor Signals Swapped Bank 1 Sensor 3/Bank 2 Sensor 3",
    "Intake Air System Leak",
    "Air Flow Restriction/Air Leak Between Air Filter and MAF",
    "Air Leak Between MAF and Throttle Body",
    "Air Leak Between Throttle Body and Intake Valves",
    "Injector Control Pressure Sensor Circuit",
    "Injector Control Pressure Sensor Circuit Range/Performance",
    "Injector Control Pressure Sensor Circuit Low",
    "Injector Control Pressure Sensor Circuit High",
    "Injector Control Pressure Sensor Circuit Intermittent",
    "Injector Control Pressure Too High",
    "Injector Control Pressure Too High - Engine Off",
    "Injector Control Pressure Too Low",
    "Injector Control Pressure Too Low - Engine Cranking",
    "Injector Control Pressure Erratic",
    "Fuel Pressure Regulator 2 Performance",
    "Fuel Pressure Regulator 2 Control Circuit",
    "Fuel Pressure Regulator 2 Control Circuit Low",
    "Fuel Pressure Regulator 2 Control Circuit High",
    "O2 Sensor Out of Range During Deceleration (Bank 1 Sensor 1)",
    "O2 Sensor Out of Range During Deceleration (Bank 2 Sensor 1)",
    "Brake Pedal Position/Accelerator Pedal Position Incompatible",
])

# ---------------------------------------------------------------- P23xx
for i, letter in enumerate("ABCDEFGHIJKL"):
    series("P", 2300 + 3 * i, ["Ignition Coil %s Primary Control Circuit Low" % letter,
                               "Ignition Coil %s Primary Control Circuit High" % letter,
                               "Ignition Coil %s Secondary Circuit" % letter])
for cyl in range(1, 13):
    p(2335 + cyl, "Cylinder %d Above Knock Threshold" % cyl)

# ---------------------------------------------------------------- P24xx
series("P", 2400, [
    "Evaporative Emission System Leak Detection Pump Control Circuit/Open",
    "Evaporative Emission System Leak Detection Pump Control Circuit Low",
    "Evaporative Emission System Leak Detection Pump Control Circuit High",
    "Evaporative Emission System Leak Detection Pump Sense Circuit/Open",
    "Evaporative Emission System Leak Detection Pump Sense Circuit Range/Performance",
    "Evaporative Emission System Leak Detection Pump Sense Circuit Low",
    "Evaporative Emission System Leak Detection Pump Sense Circuit High",
    "Evaporative Emission System Leak Detection Pump Sense Circuit Intermittent/Erratic",
    "Fuel Cap Sensor/Switch Circuit",
    "Fuel Cap Sensor/Switch Circuit Range/Performance",
    "Fuel Cap Sensor/Switch Circuit Low",
    "Fuel Cap Sensor/Switch Circuit High",
    "Fuel Cap Sensor/Switch Circuit Intermittent/Erratic",
    "Exhaust Gas Recirculation System Performance",
    "O2 Sensor Exhaust Sample Error (Bank 1 Sensor 1)",
    "O2 Sensor Exhaust Sample Error (Bank 2 Sensor 1)",
])
series("P", 2418, [
    "Evaporative Emission System Switching Valve Control Circuit/Open",
    "Evaporative Emission System Switching Valve Control Circuit Low",
    "Evaporative Emission System Switching Valve Control Circuit High",
    "Evaporative Emission System Vent Valve Stuck Open",
    "Evaporative Emission System Vent Valve Stuck Closed",
    "HC Adsorption Catalyst Efficiency Below Threshold (Bank 1)",
    "HC Adsorption Catalyst Efficiency Below Threshold (Bank 2)",
    "Exhaust Gas Recirculation Cooling Valve Control Circuit/Open",
    "Exhaust Gas Recirculation Cooling Valve Control Circuit Low",
    "Exhaust Gas Recirculation Cooling Valve Control Circuit High",
    "Exhaust Gas Temperature Too High (Bank 1)",
    "Exhaust Gas Temperature Too High (Bank 2)",
])
for start, bank in ((2430, 1), (2435, 2)):
    series("P", start, ["Secondary Air Injection System Air Flow/Pressure Sensor %s (Bank %d)" % (s, bank)
                        for s in ("Circuit", "Circuit Range/Performance", "Circuit Low", "Circuit High",
                                  "Circuit Intermittent/Erratic")])
series("P", 2440, [
    "Secondary Air Injection System Switching Valve Stuck Open (Bank 1)",
    "Secondary Air Injection System Switching Valve Stuck Closed (Bank 1)",
    "Secondary Air Injection System Switching Valve Stuck Open (Bank 2)",
    "Secondary Air Injection System Switching Valve Stuck Closed (Bank 2)",
    "Secondary Air Injection System Pump Stuck On (Bank 1)",
    "Secondary Air Injection System Pump Stuck Off (Bank 1)",
    "Secondary Air Injection System Pump Stuck On (Bank 2)",
    "Secondary Air Injection System Pump Stuck Off (Bank 2)",
])

# ---------------------------------------------------------------- P25xx
series("P", 2500, [
    "Generator Lamp/L-Terminal Circuit Low",
    "Generator Lamp/L-Terminal Circuit High",
    "Charging System Voltage",
    "Charging System Voltage Low",
    "Charging System Voltage High",
    "ECM/PCM Power Input Signal",
    "ECM/PCM Power Input Signal Range/Performance",
    "ECM/PCM Power Input Signal Low",
    "ECM/PCM Power Input Signal High",
    "ECM/PCM Power Input Signal Intermittent",
    "ECM/PCM Power Relay Sense Circuit Range/Performance",
    "ECM/PCM Power Relay Sense Circuit Intermittent",
    "Event Data Recorder Request Circuit/Open",
    "Event Data Recorder Request Circuit Low",
    "Event Data Recorder Request Circuit High",
    "A/C Refrigerant Pressure Sensor B Circuit",
    "A/C Refrigerant Pressure Sensor B Circuit Range/Performance",
    "A/C Refrigerant Pressure Sensor B Circuit Low",
    "A/C Refrigerant Pressure Sensor B Circuit High",
    "A/C Request A Circuit",
    "A/C Request A Circuit Low",
    "A/C Request A Circuit High",
    "A/C Request B Circuit",
    "A/C Request B Circuit Low",
    "A/C Request B Circuit High",
    "Vacuum Reservoir Pressure Sensor Circuit",
    "Vacuum Reservoir Pressure Sensor Circuit Range/Performance",
    "Vacuum Reservoir Pressure Sensor Circuit Low",
    "Vacuum Reservoir Pressure Sensor Circuit High",
    "Vacuum Reservoir Pressure Sensor Circuit Intermittent",
    "Ignition Switch Run Position Circuit",
    "Ignition Switch Run Position Circuit Low",
    "Ignition Switch Run Position Circuit High",
    "Ignition Switch Run/Start Position Circuit",
    "Ignition Switch Run/Start Position Circuit Low",
    "Ignition Switch Run/Start Position Circuit High",
    "Ignition Switch Accessory Position Circuit",
    "Ignition Switch Accessory Position Circuit Low",
    "Ignition Switch Accessory Position Circuit High",
    "Low Pressure Fuel System Sensor Circuit",
    "Low Pressure Fuel System Sensor Circuit Range/Performance",
    "Low Pressure Fuel System Sensor Circuit Low",
    "Low Pressure Fuel System Sensor Circuit High",
    "Low Pressure Fuel System Sensor Circuit Intermittent",
    "Torque Management Request Input Signal A",
    "Torque Management Request Input Signal A Range/Performance",
    "Torque Management Request Input Signal A Low",
    "Torque Management Request Input Signal A High",
    "Torque Management Request Input Signal B",
    "Torque Management Request Input Signal B Range/Performance",
    "Torque Management Request Input Signal B Low",
    "Torque Management Request Input Signal B High",
    "Throttle/Fuel Inhibit Circuit",
    "Throttle/Fuel Inhibit Circuit Range/Performance",
    "Throttle/Fuel Inhibit Circuit Low",
    "Throttle/Fuel Inhibit Circuit High",
    "Engine Coolant Level Sensor/Switch Circuit",
    "Engine Coolant Level Sensor/Switch Circuit Range/Performance",
    "Engine Coolant Level Sensor/Switch Circuit Low",
    "Engine Coolant Level Sensor/Switch Circuit High",
    "Engine Coolant Level Low",
    "A/C Control Module Requested MIL Illumination",
    "Turbocharger Boost Control Position Sensor Circuit",
    "Turbocharger Boost Control Position Sensor Circuit Range/Performance",
    "Turbocharger Boost Control Position Sensor Circuit Low",
    "Turbocharger Boost Control Position Sensor Circuit High",
    "Turbocharger Boost Control Position Sensor Circuit Intermittent",
])

# ---------------------------------------------------------------- P26xx
series("P", 2600, [
    "Coolant Pump Control Circuit/Open",
    "Coolant Pump Control Circuit Range/Performance",
    "Coolant Pump Control Circuit Low",
    "Coolant Pump Control Circuit High",
    "Intake Air Heater A Circuit Range/Performance",
    "Intake Air Heater B Circuit/Open",
    "Intake Air Heater B Circuit Range/Performance",
    "Intake Air Heater B Circuit Low",
    "Intake Air Heater B Circuit High",
    "Intake Air Heater System Performance",
    "ECM/PCM Internal Engine Off Timer Performance",
    "A/C Refrigerant Distribution Valve Control Circuit/Open",
    "A/C Refrigerant Distribution Valve Control Circuit Low",
    "A/C Refrigerant Distribution Valve Control Circuit High",
    "Camshaft Position Signal Output Circuit/Open",
    "Camshaft Position Signal Output Circuit Low",
    "Camshaft Position Signal Output Circuit High",
    "Crankshaft Position Signal Output Circuit/Open",
    "Crankshaft Position Signal Output Circuit Low",
    "Crankshaft Position Signal Output Circuit High",
    "Throttle Position Output Circuit/Open",
    "Throttle Position Output Circuit Low",
    "Throttle Position Output Circuit High",
    "Injector Control Pressure Regulator Circuit/Open",
    "Injector Control Pressure Regulator Circuit Low",
    "Injector Control Pressure Regulator Circuit High",
    "O2 Sensor Pumping Current Trim Circuit/Open (Bank 1 Sensor 1)",
    "O2 Sensor Pumping Current Trim Circuit Low (Bank 1 Sensor 1)",
    "O2 Sensor Pumping Current Trim Circuit High (Bank 1 Sensor 1)",
    "O2 Sensor Pumping Current Trim Circuit/Open (Bank 2 Sensor 1)",
    "O2 Sensor Pumping Current Trim Circuit Low (Bank 2 Sensor 1)",
    "O2 Sensor Pumping Current Trim Circuit High (Bank 2 Sensor 1)",
    "Fuel Pump B Control Circuit/Open",
    "Fuel Pump B Control Circuit Low",
    "Fuel Pump B Control Circuit High",
    "Fuel Pump A Low Flow/Performance",
    "Fuel Pump B Low Flow/Performance",
    "Torque Management Feedback Signal A",
    "Torque Management Feedback Signal A Range/Performance",
    "Torque Management Feedback Signal A Low",
    "Torque Management Feedback Signal A High",
    "Torque Management Feedback Signal B",
    "Torque Management Feedback Signal B Range/Performance",
    "Torque Management Feedback Signal B Low",
    "Torque Management Feedback Signal B High",
])

# ---------------------------------------------------------------- P27xx
for i, letter in enumerate("ABCDEF"):
    p(2700 + i, "Transmission Friction Element %s Apply Time Range/Performance" % letter)
ps(2706, "Shift Solenoid F", SOLENOID5)
series("P", 2711, ["Unexpected Mechanical Gear Disengagement", "Hydraulic Power Unit Leakage"])
for start, letter in ((2713, "D"), (2722, "E"), (2731, "F")):
    ps(start, "Pressure Control Solenoid %s" % letter, SOLENOID5)
    ps(start + 5, "Pressure Control Solenoid %s Control" % letter, ACT4)
ps(2740, "Transmission Fluid Temperature Sensor B", ["Circuit", "Circuit Range/Performance",
                                                      "Circuit Low", "Circuit High", "Circuit Intermittent"])
ps(2745, "Intermediate Shaft Speed Sensor B", ["Circuit", "Circuit Range/Performance", "Circuit No Signal",
                                               "Circuit Intermittent"])
ps(2749, "Intermediate Shaft Speed Sensor C", ["Circuit", "Circuit Range/Performance", "Circuit No Signal",
                                               "Circuit Intermittent"])
ps(2753, "Transmission Fluid Cooler", CTRL3)
ps(2756, "Torque Converter Clutch Pressure Control Solenoid", SOLENOID5)
ps(2761, "Torque Converter Clutch Pressure Control Solenoid Control",
   ["Circuit/Open", "Circuit Range/Performance", "Circuit High", "Circuit Low"])
ps(2765, "Input/Turbine Speed Sensor B", ["Circuit", "Circuit Range/Performance", "Circuit No Signal",
                                          "Circuit Intermittent"])
series("P", 2769, ["Torque Converter Clutch Circuit Low", "Torque Converter Clutch Circuit High"])
ps(2771, "Four Wheel Drive (4WD) Low Switch", ["Circuit", "Circuit Range/Performance", "Circuit Low",
                                               "Circuit High"])
for start, name in ((2775, "Upshift Switch"), (2779, "Downshift Switch")):
    ps(start, name, ["Circuit Range/Performance", "Circuit Low", "Circuit High",
                     "Circuit Intermittent/Erratic"])
series("P", 2783, ["Torque Converter Temperature Too High", "Input/Turbine Speed Sensor A/B Correlation",
                   "Clutch Actuator Temperature Too High", "Gear Shift Actuator Temperature Too High",
                   "Clutch Temperature Too High", "Auto Shift Manual Adaptive Learning at Limit",
                   "Clutch Adaptive Learning at Limit", "Gate Select Direction Circuit",
                   "Gate Select Direction Circuit Low", "Gate Select Direction Circuit High",
                   "Gear Shift Direction Circuit", "Gear Shift Direction Circuit Low",
                   "Gear Shift Direction Circuit High"])

# ---------------------------------------------------------------- P34xx
p(3400, "Cylinder Deactivation System Bank 1")
for cyl in range(1, 13):
    base = 3401 + 8 * (cyl - 1)
    series("P", base, ["Cylinder %d Deactivation/Intake Valve Control %s" % (cyl, s)
                       for s in ("Circuit/Open", "Performance", "Circuit Low", "Circuit High")]
           + ["Cylinder %d Exhaust Valve Control %s" % (cyl, s)
              for s in ("Circuit/Open", "Performance", "Circuit Low", "Circuit High")])
p(3497, "Cylinder Deactivation System Bank 2")

# ---------------------------------------------------------------- C0xxx
series("C", 0, ["Vehicle Speed Information Circuit Malfunction"])
series("C", 20, ["ABS Pump Motor Control", "Brake Booster Performance", "Brake Booster Solenoid",
                 "Brake Lamp Control"])
WHEELS = ("Left Front", "Right Front", "Left Rear", "Right Rear")
wheel_codes = ["C0030", "C0031", "C0032", "C0033", "C0034", "C0035", "C0036", "C0037", "C0038",
               "C0039", "C003A", "C003B"]
for i, wheel in enumerate(WHEELS):
    for j, what in enumerate(("Tone Wheel", "Wheel Speed Sensor", "Wheel Speed Sensor Supply")):
        add(wheel_codes[3 * i + j], "%s %s" % (wheel, what))
series("C", 40, ["Brake Pedal Switch A", "Brake Pedal Switch B"])
series("C", 51, ["Steering Wheel Position Sensor"])
series("C", 60, ["Left Front ABS Solenoid 1 Circuit", "Left Front ABS Solenoid 2 Circuit",
                 "Right Front ABS Solenoid 1 Circuit", "Right Front ABS Solenoid 2 Circuit",
                 "Left Rear ABS Solenoid 1 Circuit", "Left Rear ABS Solenoid 2 Circuit",
                 "Right Rear ABS Solenoid 1 Circuit", "Right Rear ABS Solenoid 2 Circuit"])

# ---------------------------------------------------------------- B0xxx
series("B", 1, ["Driver Frontal Stage 1 Deployment Control", "Driver Frontal Stage 2 Deployment Control",
                "Driver Frontal Stage 3 Deployment Control"])
series("B", 10, ["Passenger Frontal Stage 1 Deployment Control",
                 "Passenger Frontal Stage 2 Deployment Control",
                 "Passenger Frontal Stage 3 Deployment Control"])
series("B", 20, ["Left Side Airbag Deployment Control"])
series("B", 28, ["Right Side Airbag Deployment Control"])
series("B", 50, ["Driver Seatbelt Sensor", "Passenger Seatbelt Sensor"])
series("B", 81, ["Passenger Presence System"])
series("B", 100, ["Electronic Frontal Sensor 1"])

# ---------------------------------------------------------------- U0xxx
BUS_FAULTS = ["", " Performance", " (+) Open", " (+) Low", " (+) High", " (-) Open", " (-) Low", " (-) High",
              " (-) shorted to Bus (+)"]
for start, bus in ((1, "High Speed CAN Communication Bus"), (10, "Medium Speed CAN Communication Bus"),
                   (20, "Low Speed CAN Communication Bus"),
                   (30, "Vehicle Area Network (VAN) Communication Bus"),
                   (40, "Vehicle Communication Bus A"), (50, "Vehicle Communication Bus B"),
                   (60, "Vehicle Communication Bus C")):
    series("U", start, [bus + f for f in BUS_FAULTS])
for i, letter in enumerate("ABCDE"):
    u(73 + i, "Control Module Communication Bus %s Off" % letter)
MODULES = {
    100: "ECM/PCM A", 101: "TCM", 102: "Transfer Case Control Module", 103: "Gear Shift Module",
    104: "Cruise Control Module", 105: "Fuel Injector Control Module", 106: "Glow Plug Control Module",
    107: "Throttle Actuator Control Module", 108: "Alternative Fuel Control Module",
    109: "Fuel Pump Control Module", 110: "Drive Motor Control Module",
    111: "Battery Energy Control Module A", 112: "Battery Energy Control Module B",
    113: "Emissions Critical Control Information", 114: "Four-Wheel Drive Clutch Control Module",
    115: "ECM/PCM B", 121: "Anti-Lock Brake System (ABS) Control Module",
    122: "Vehicle Dynamics Control Module", 123: "Yaw Rate Sensor Module",
    124: "Lateral Acceleration Sensor Module", 125: "Multi-axis Acceleration Sensor Module",
    126: "Steering Angle Sensor Module", 127: "Tire Pressure Monitor Module",
    128: "Park Brake Control Module", 129: "Brake System Control Module",
    130: "Steering Effort Control Module", 131: "Power Steering Control Module",
    132: "Ride Level Control Module", 140: "Body Control Module", 141: "Body Control Module A",
    142: "Body Control Module B", 143: "Body Control Module C", 144: "Body Control Module D",
    145: "Body Control Module E", 146: "Gateway A", 147: "Gateway B",
    151: "Restraints Control Module", 155: "Instrument Panel Cluster (IPC) Control Module",
    156: "Information Center A", 157: "Information Center B", 159: "Parking Assist Control Module A",
    160: "Audible Alert Control Module", 161: "Compass Module", 162: "Navigation Display Module",
    163: "Navigation Control Module", 164: "HVAC Control Module", 165: "HVAC Control Module Rear",
    166: "Auxiliary Heater Control Module", 167: "Vehicle Immobilizer Control Module",
    168: "Vehicle Security Control Module", 169: "Sunroof Control Module",
    180: "Automatic Lighting Control Module", 181: "Headlamp Leveling Control Module",
    182: "Lighting Control Module Front", 183: "Lighting Control Module Rear", 184: "Radio",
    185: "Antenna Control Module", 186: "Audio Amplifier", 187: "Digital Disc Player/Changer Module A",
    188: "Digital Disc Player/Changer Module B", 189: "Digital Disc Player/Changer Module C",
    190: "Digital Disc Player/Changer Module D", 191: "Television", 192: "Personal Computer",
    193: "Digital Audio Control Module A", 194: "Digital Audio Control Module B",
    195: "Subscription Entertainment Receiver Module", 196: "Rear Seat Entertainment Control Module",
    197: "Telephone Control Module", 198: "Telematic Control Module",
    199: "Door Control Module A", 200: "Door Control Module B", 201: "Door Control Module C",
    202: "Door Control Module D", 203: "Door Control Module E", 204: "Door Control Module F",
    205: "Door Control Module G", 206: "Folding Top Control Module", 207: "Moveable Roof Control Module",
    208: "Seat Control Module A", 209: "Seat Control Module B", 210: "Seat Control Module C",
    211: "Seat Control Module D", 212: "Steering Column Control Module", 213: "Mirror Control Module",
    214: "Remote Function Actuation", 215: "Door Switch A", 216: "Door Switch B", 217: "Door Switch C",
    218: "Door Switch D", 230: "Rear Gate Module", 231: "Rain Sensing Module",
    232: "Side Obstacle Detection Control Module - Left", 233: "Side Obstacle Detection Control Module - Right",
    234: "Convenience Recall Module", 235: "Cruise Control Front Distance Range Sensor",
}
for n, module in sorted(MODULES.items()):
    u(n, "Lost Communication With %s" % module)
# Software incompatibility and invalid data: one series per module, same order.
PEERS = ["ECM/PCM", "Transmission Control Module", "Transfer Case Control Module",
         "Gear Shift Control Module", "Cruise Control Module", "Fuel Injector Control Module",
         "Glow Plug Control Module", "Throttle Actuator Control Module", "Alternative Fuel Control Module",
         "Fuel Pump Control Module", "Drive Motor Control Module", "Battery Energy Control Module A",
         "Battery Energy Control Module B", "Four-Wheel Drive Clutch Control Module",
         "Anti-Lock Brake System Control Module", "Vehicle Dynamics Control Module",
         "Park Brake Control Module", "Brake System Control Module", "Steering Effort Control Module",
         "Power Steering Control Module", "Ride Level Control Module", "Body Control Module",
         "Instrument Panel Control Module", "HVAC Control Module", "Auxiliary Heater Control Module",
         "Vehicle Immobilizer Control Module", "Vehicle Security Control Module",
         "Steering Angle Sensor Module", "Steering Column Control Module", "Tire Pressure Monitor Module",
         "Body Control Module A"]
u(300, "Internal Control Module Software Incompatibility")
u(400, "Invalid Data Received")
for i, peer in enumerate(PEERS):
    u(301 + i, "Software Incompatibility With %s" % peer)
    u(401 + i, "Invalid Data Received From %s" % peer)


# ------------------------------------------------- further generic ranges
# Cruise control inputs and actuators, thermostat heater.
series("P", 578, ["Cruise Control Multi-Function Input A Circuit Stuck",
                  "Cruise Control Multi-Function Input A Circuit Range/Performance",
                  "Cruise Control Multi-Function Input A Circuit Low",
                  "Cruise Control Multi-Function Input A Circuit High",
                  "Cruise Control Vacuum Control Circuit/Open",
                  "Cruise Control Vacuum Control Circuit Low",
                  "Cruise Control Vacuum Control Circuit High",
                  "Cruise Control Multi-Function Input A/B Correlation",
                  "Cruise Control Vent Control Circuit/Open",
                  "Cruise Control Vent Control Circuit Low",
                  "Cruise Control Vent Control Circuit High",
                  "Cruise Control Multi-Function Input B Circuit",
                  "Cruise Control Multi-Function Input B Circuit Stuck",
                  "Cruise Control Multi-Function Input B Circuit Range/Performance",
                  "Cruise Control Multi-Function Input B Circuit Low",
                  "Cruise Control Multi-Function Input B Circuit High",
                  "Cruise Control Servo Control Circuit/Open",
                  "Cruise Control Servo Control Circuit Low",
                  "Cruise Control Servo Control Circuit High"])
ps(597, "Thermostat Heater", CTRL3)
# Transmission: inputs, communication, fluid pressure, TCM power, shift faults.
series("P", 853, ["Drive Switch Input Circuit", "Drive Switch Input Circuit Low",
                  "Drive Switch Input Circuit High",
                  "Traction Control Input Signal", "Traction Control Input Signal Range/Performance",
                  "Traction Control Input Signal Low", "Traction Control Input Signal High",
                  "Gear Shift Module Communication Circuit",
                  "Gear Shift Module Communication Circuit Low",
                  "Gear Shift Module Communication Circuit High",
                  "TCM Communication Circuit", "TCM Communication Circuit Range/Performance",
                  "TCM Communication Circuit Low", "TCM Communication Circuit High",
                  "Transmission Fluid Pressure", "Transmission Fluid Pressure Low",
                  "Transmission Fluid Pressure High"])
for start, switch in ((870, "C"), (875, "D")):
    ps(start, "Transmission Fluid Pressure Sensor/Switch %s" % switch,
       ["Circuit", "Circuit Range/Performance", "Circuit Low", "Circuit High", "Circuit Intermittent"])
series("P", 880, [("TCM Power Input Signal " + t).strip() for t in ("", "Range/Performance", "Low", "High", "Intermittent")])
ps(885, "TCM Power Relay", CTRL3)
series("P", 888, [("TCM Power Relay Sense Circuit " + t).strip()
                  for t in ("", "Range/Performance", "Low", "High", "Intermittent")])
series("P", 893, ["Multiple Gears Engaged", "Transmission Component Slipping", "Shift Time Too Short",
                  "Shift Time Too Long", "Transmission Fluid Deteriorated",
                  "Transmission Control System MIL Request Circuit Low",
                  "Transmission Control System MIL Request Circuit High"])
# Throttle actuator airflow checks.
series("P", 2172, ["Throttle Actuator Control System - Sudden High Airflow Detected",
                   "Throttle Actuator Control System - High Airflow Detected",
                   "Throttle Actuator Control System - Sudden Low Airflow Detected",
                   "Throttle Actuator Control System - Low Airflow Detected",
                   "Throttle Actuator Control System - Idle Position Not Learned"])
# Direct ozone reduction catalyst.
ps(2567, "Direct Ozone Reduction Catalyst Temperature Sensor",
   ["Circuit", "Circuit Range/Performance", "Circuit Low", "Circuit High", "Circuit Intermittent/Erratic"])
ps(2572, "Direct Ozone Reduction Catalyst Deterioration Sensor",
   ["Circuit", "Circuit Range/Performance", "Circuit Low", "Circuit High", "Circuit Intermittent/Erratic"])
p(2577, "Direct Ozone Reduction Catalyst Efficiency Below Threshold")
# Rocker arm actuators, fuel shutoff valve B, actuator supply voltage B.
ROCKER = ["Control Circuit/Open", "System Performance or Stuck Off", "System Stuck On",
          "Control Circuit Low", "Control Circuit High"]
for start, arm, bank in ((2645, "A", 1), (2650, "B", 1), (2655, "A", 2), (2660, "B", 2)):
    series("P", start, ["%s Rocker Arm Actuator %s (Bank %d)" % (arm, r, bank) for r in ROCKER])
ps(2665, "Fuel Shutoff Valve B", CTRL3)
p(2668, "Fuel Mode Indicator Lamp Control Circuit")
ps(2669, "Actuator Supply Voltage B", ["Circuit/Open", "Circuit Low", "Circuit High"])
# O2 sensor circuit range/performance, by bank and sensor.
for i, (bank, sensor_) in enumerate(BANK_SENSOR):
    add("P2A%02d" % i, "O2 Sensor Circuit Range/Performance (Bank %d Sensor %d)" % (bank, sensor_))
# Hybrid: motor electronics, high-voltage interlock, DC/DC converter,
# engine mount, motor torque sensor, hybrid control modules.
HYBRID = [
    "Motor Electronics Coolant Temperature Sensor Circuit",
    "Motor Electronics Coolant Temperature Sensor Circuit Range/Performance",
    "Motor Electronics Coolant Temperature Sensor Circuit Low",
    "Motor Electronics Coolant Temperature Sensor Circuit High",
    "Motor Electronics Coolant Temperature Sensor Circuit Intermittent",
    "Motor Electronics Coolant Pump Control Circuit/Open",
    "Motor Electronics Coolant Pump Control Circuit Low",
    "Motor Electronics Coolant Pump Control Circuit High",
    "DC/DC Converter Status Circuit",
    "DC/DC Converter Status Circuit Low Input",
    "High Voltage System Interlock Circuit",
    "High Voltage System Interlock Circuit Range/Performance",
    "High Voltage System Interlock Circuit Low",
    "High Voltage System Interlock Circuit High",
    "High Voltage System Interlock Circuit Intermittent",
    "Engine Failed to Start",
    "DC/DC Converter Status Circuit High Input",
    "DC/DC Converter Enable Circuit/Open",
    "DC/DC Converter Enable Circuit Low",
    "DC/DC Converter Enable Circuit High",
    "Engine Mount Control Circuit/Open",
    "Engine Mount Control Circuit Low",
    "Engine Mount Control Circuit High",
    "Motor Torque Sensor Circuit",
    "Motor Torque Sensor Circuit Range/Performance",
    "Motor Torque Sensor Circuit Low",
    "Motor Torque Sensor Circuit High",
    "Drive Motor A Control Module",
    "Drive Motor B Control Module",
    "Hybrid Powertrain Control Module",
    "Starter/Generator Control Module",
    "Battery Energy Control Module",
    "Motor Torque Sensor Circuit Intermittent",
]
for i, text in enumerate(HYBRID):
    add("P0A%02X" % i, text)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                             "OBDII.txt")
    order = {"P": 0, "C": 1, "B": 2, "U": 3}
    rows = sorted(codes.items(), key=lambda kv: (order[kv[0][0]], kv[0]))
    with open(out, "w", encoding="ascii", newline="\n") as f:
        for code, text in rows:
            f.write("%s %s\n" % (code, text))
    counts = {k: sum(1 for c in codes if c[0] == k) for k in order}
    print("%d codes (%s) -> %s" % (len(rows), ", ".join("%s %d" % kv for kv in counts.items()), out))


if __name__ == "__main__":
    main()
