"""Humidora's psychrometric calculation of moist air for numpy arrays, pandas frames and Dask.

Every value is the double that ``humidora-cli batch --numbers full`` writes for the same inputs, and an
input is accepted or refused exactly as the main window accepts or refuses it. Refused elements are NaN
in every result, with the refusal sentence in ``status``; nothing raises for a refused element.

>>> import humidora
>>> s = humidora.state([20.0, 25.0], relative_humidity=[50.0, 60.0])
>>> s["dew_point"], s["status"]
"""

from collections.abc import Mapping, Sequence

import numpy as np

from . import _humidora as _core

__all__ = [
    "QUANTITIES",
    "HUMIDITY_PARAMETERS",
    "state",
    "frame",
    "saturation_pressure",
    "saturation_temperature",
    "convert",
]

#: The sixteen quantities of a state, named as in ``humidora-cli state --json``, in the window's order.
QUANTITIES = tuple(_core._quantities)
#: The eight humidity parameters, of which a state is given exactly one.
HUMIDITY_PARAMETERS = (
    "relative_humidity",
    "humidity_ratio",
    "dew_point",
    "wet_bulb",
    "absolute_humidity",
    "partial_pressure",
    "mole_fraction",
    "mass_fraction",
)
_METHODS = ("iapws", "hyland-wexler")
_SYSTEMS = ("metric", "british")
_UNSET = object()


def _numbers(name, value):
    """value as a float64 array; a TypeError naming the argument for anything that is not numbers."""
    if isinstance(value, (str, bytes)) or value is None:
        raise TypeError(f"{name}: expected a number or an array of numbers, not {type(value).__name__}")
    try:
        array = np.asarray(value)
    except Exception as error:  # ragged nested sequences and the like
        raise TypeError(f"{name}: expected a number or an array of numbers ({error})") from None
    if array.dtype.kind not in "iuf":
        raise TypeError(f"{name}: expected numbers, not an array of dtype {array.dtype}")
    return array.astype(np.float64, copy=False)


def _choice(name, value, choices):
    if not isinstance(value, str):
        raise TypeError(f"{name}: expected a string, one of {', '.join(map(repr, choices))}")
    if value not in choices:
        raise ValueError(f"{name}: unknown {name} {value!r}; one of {', '.join(map(repr, choices))}")
    return value


def _unit(name, value, keys=None, quantity=None, optional=False):
    """The unit key that value names: a key, or a short key the command line takes ("g/kg", "inHg").

    A TypeError naming the argument for anything but a string (or None, with ``optional``, for an argument
    that may be left out); a ValueError naming it and listing ``keys`` when given and the key is not among
    them.
    """
    if value is None and optional:
        return None
    if not isinstance(value, str):
        raise TypeError(f"{name}: expected a unit key string, not {type(value).__name__}")
    key = _core._aliases.get(value, value)
    if keys is not None and key not in keys:
        known = [*keys, *(alias for alias, full in _core._aliases.items() if full in keys)]
        raise ValueError(
            f"{name}: unknown unit {value!r}{' of ' + quantity if quantity else ''}; one of "
            + ", ".join(map(repr, known))
        )
    return key


def _options(method, system):
    """The formulation and the unit system, each checked."""
    return _choice("method", method, _METHODS), _choice("system", system, _SYSTEMS)


def _selections(system, units):
    """The item index of every unit list for a system and a mapping of quantity to unit key."""
    selections = list(_core._metric if system == "metric" else _core._british)
    if units is None:
        return selections
    if not isinstance(units, Mapping):
        raise TypeError("units: expected a mapping of quantity name to unit key")
    for quantity, unit in units.items():
        if quantity not in QUANTITIES:
            raise ValueError(f"units: unknown quantity {quantity!r}; one of {', '.join(QUANTITIES)}")
        keys = _core._units[QUANTITIES.index(quantity)]
        key = _unit("units", unit, keys, quantity)
        selections[_core._lists[QUANTITIES.index(quantity)] - 1] = keys.index(key)
    return selections


def _unit_keys(selections):
    """The unit key of every quantity for the given selections."""
    return {
        quantity: _core._units[i][selections[_core._lists[i] - 1]] for i, quantity in enumerate(QUANTITIES)
    }


def _standard_pressure(selections):
    """The pressure a state takes when none is given: 101.325 kPa, or the British 14.6957 PSI."""
    unit = _unit_keys(selections)["pressure"]
    if unit == "kPa":
        return 101.325
    if unit == "PSI":
        return 14.6957
    return float(_core._convert(np.asarray(101.325), "Pressure", "kPa", unit))


def state(
    temperature,
    *,
    relative_humidity=None,
    humidity_ratio=None,
    dew_point=None,
    wet_bulb=None,
    absolute_humidity=None,
    partial_pressure=None,
    mole_fraction=None,
    mass_fraction=None,
    pressure=None,
    altitude=None,
    method="iapws",
    system="metric",
    units=None,
):
    """The state of moist air, element by element, exactly as the main window computes it.

    temperature: the ambient (dry-bulb) temperature, a number or an array.
    relative_humidity ... mass_fraction: exactly one humidity parameter, a number or an array.
    pressure or altitude: at most one; neither gives the standard pressure of the unit system.
    method: "iapws" (default) or "hyland-wexler", the formulation of the saturation of water.
    system: "metric" (default) or "british", the units of every quantity not named in ``units``.
    units: a mapping of quantity name to unit key, e.g. {"temperature": "F", "pressure": "Pa"}.

    Inputs broadcast against each other like numpy arrays. Returns a dict of the sixteen quantities
    (``QUANTITIES``, named as in ``humidora-cli state --json``) to float64 arrays of the broadcast shape,
    in the selected units, and ``status``: an object array of "ok" or the sentence that says why the
    element was refused. A refused element is NaN in every result. Where the window shows a text that is
    not a number (the dew point of perfectly dry air, "< min"; an altitude out of range) the element is
    NaN and its status stays "ok". Non-finite inputs are refused elements.

    Raises TypeError or ValueError, naming the argument, for inputs that are not numbers, shapes that do
    not broadcast, no or two humidity parameters, pressure and altitude together, and unknown methods,
    systems, quantities or unit keys.
    """
    given = {
        name: value
        for name, value in (
            ("relative_humidity", relative_humidity),
            ("humidity_ratio", humidity_ratio),
            ("dew_point", dew_point),
            ("wet_bulb", wet_bulb),
            ("absolute_humidity", absolute_humidity),
            ("partial_pressure", partial_pressure),
            ("mole_fraction", mole_fraction),
            ("mass_fraction", mass_fraction),
        )
        if value is not None
    }
    if len(given) != 1:
        raise ValueError(
            "give exactly one humidity parameter (one of "
            + ", ".join(HUMIDITY_PARAMETERS)
            + ")"
            + (f"; got {', '.join(given)}" if given else "")
        )
    if pressure is not None and altitude is not None:
        raise ValueError("pressure, altitude: give the pressure or the altitude, not both")
    _options(method, system)
    selections = _selections(system, units)
    (humidity_name, humidity_value), = given.items()
    altitude_given = altitude is not None
    ambient_name = "altitude" if altitude_given else "pressure"
    if altitude_given:
        ambient = altitude
    else:
        ambient = _standard_pressure(selections) if pressure is None else pressure
    arrays = [
        _numbers("temperature", temperature),
        _numbers(ambient_name, ambient),
        _numbers(humidity_name, humidity_value),
    ]
    try:
        shape = np.broadcast_shapes(*(a.shape for a in arrays))
    except ValueError:
        raise ValueError(
            f"temperature, {ambient_name}, {humidity_name}: shapes "
            + ", ".join(str(a.shape) for a in arrays)
            + " do not broadcast"
        ) from None
    flat = [np.ascontiguousarray(np.broadcast_to(a, shape)).reshape(-1) for a in arrays]
    values, refused, sentences = _core._states(
        humidity_name, altitude_given, method == "iapws", selections, *flat
    )
    result = {quantity: values[i].reshape(shape) for i, quantity in enumerate(QUANTITIES)}
    # One "ok" object shared by every accepted element: np.full would make a new string object for each
    # (about 50 bytes and 60 ns apiece, under the interpreter's lock).
    status = np.empty(values.shape[1], dtype=object)
    status.fill("ok")
    if len(refused):
        status[refused] = sentences
    result["status"] = status.reshape(shape)
    return result


def _column_selection(columns, system, units):
    """The quantities of a frame's result columns and the selections their units give."""
    units = dict(units or {})
    if columns is None:
        names = list(QUANTITIES)
    else:
        if isinstance(columns, str) or not isinstance(columns, Sequence):
            raise TypeError("columns: expected a list of quantity names, each NAME or NAME:UNIT")
        names = []
        for item in columns:
            if not isinstance(item, str):
                raise TypeError("columns: expected a list of quantity names, each NAME or NAME:UNIT")
            name, _, unit = item.partition(":")
            name = name.strip()
            if name not in QUANTITIES:
                raise ValueError(f"columns: unknown quantity {name!r}; one of {', '.join(QUANTITIES)}")
            if unit:
                units[name] = unit
            names.append(name)
    return names, _selections(system, units or None)


def frame(
    df,
    temperature="T",
    relative_humidity=_UNSET,
    pressure=_UNSET,
    columns=None,
    *,
    humidity_ratio=None,
    dew_point=None,
    wet_bulb=None,
    absolute_humidity=None,
    partial_pressure=None,
    mole_fraction=None,
    mass_fraction=None,
    altitude=None,
    method="iapws",
    system="metric",
    units=None,
):
    """The states of the rows of a pandas DataFrame, with the columns of ``humidora-cli batch``.

    Each input is a column name of ``df`` or a fixed value for every row: temperature (default column
    "T"), one humidity parameter (default: the column "RH" as relative humidity, when no other one is
    given), pressure (default 101.325 in the system's pressure unit) or altitude. columns: the result
    quantities, each NAME or NAME:UNIT as ``batch --columns`` takes them (default: all sixteen). method,
    system and units as for ``state``.

    Returns a DataFrame in df's index with one float64 column per quantity, named "name [unit]", and a
    column "status": "ok" or why the row was refused. Refused rows are NaN in every result.
    """
    import pandas as pd

    if not isinstance(df, pd.DataFrame):
        raise TypeError(f"df: expected a pandas DataFrame, not {type(df).__name__}")
    humidities = {
        "humidity_ratio": humidity_ratio,
        "dew_point": dew_point,
        "wet_bulb": wet_bulb,
        "absolute_humidity": absolute_humidity,
        "partial_pressure": partial_pressure,
        "mole_fraction": mole_fraction,
        "mass_fraction": mass_fraction,
    }
    others = {name: value for name, value in humidities.items() if value is not None}
    if relative_humidity is _UNSET:
        relative_humidity = None if others else "RH"
    if relative_humidity is not None:
        others = {"relative_humidity": relative_humidity, **others}
    if pressure is _UNSET:
        pressure = None
    names, selections = _column_selection(columns, system, units)
    keys = _unit_keys(selections)
    custom = {quantity: keys[quantity] for quantity in QUANTITIES}

    def column(name, value):
        if isinstance(value, str):
            if value not in df.columns:
                raise ValueError(f"{name}: no column {value!r} in the frame")
            series = df[value]
            if series.dtype.kind not in "iuf":
                try:
                    return series.to_numpy(dtype=np.float64, na_value=np.nan)
                except (TypeError, ValueError):
                    raise TypeError(f"{name}: column {value!r} does not hold numbers") from None
            return series.to_numpy(dtype=np.float64)
        return value

    inputs = {name: column(name, value) for name, value in others.items()}
    n = len(df.index)
    temperature = column("temperature", temperature)
    if not inputs:
        raise ValueError("give exactly one humidity parameter")
    result = state(
        temperature,
        pressure=column("pressure", pressure) if pressure is not None else None,
        altitude=column("altitude", altitude) if altitude is not None else None,
        method=method,
        system=system,
        units=custom,
        **inputs,
    )
    data = {f"{name} [{keys[name]}]": np.broadcast_to(result[name], (n,)) for name in names}
    data["status"] = np.broadcast_to(result["status"], (n,))
    return pd.DataFrame(data, index=df.index)


def saturation_pressure(temperature, *, method="iapws", temperature_unit="C", pressure_unit="kPa"):
    """The saturation pressure of water at a temperature, element by element.

    Over ice below 0.01 C and over liquid water above, by the IAPWS equations ("iapws", default) or the
    Hyland-Wexler formulation ("hyland-wexler"), for temperatures from -100 C to 200 C as the saturation
    window takes them; NaN outside that range or for a non-finite element. Returns a float64 array of the
    input's shape in ``pressure_unit`` (a unit key such as "Pa", "kPa", "PSI").
    """
    _choice("method", method, _METHODS)
    values = _numbers("temperature", temperature)
    return _core._saturation_pressure(values, method, _unit("temperature_unit", temperature_unit), _unit("pressure_unit", pressure_unit))


def saturation_temperature(pressure, *, method="iapws", pressure_unit="kPa", temperature_unit="C"):
    """The saturation temperature of water at a pressure, the inverse of ``saturation_pressure``.

    For pressures from 0.0015 Pa to 1555 kPa as the saturation window takes them; NaN outside that range
    or for a non-finite element. Returns a float64 array of the input's shape in ``temperature_unit``.
    """
    _choice("method", method, _METHODS)
    values = _numbers("pressure", pressure)
    return _core._saturation_temperature(values, method, _unit("pressure_unit", pressure_unit), _unit("temperature_unit", temperature_unit))


def convert(value, quantity, from_unit, to_unit):
    """value converted from one unit to another, as the unit converter does it (through the base unit).

    quantity: one of the unit converter's quantities ("Temperature", "Pressure", "Length", ...);
    from_unit, to_unit: unit keys of that quantity, or the short keys the command line takes ("inHg",
    "psi"). A result beyond the double range is NaN.
    """
    if not isinstance(quantity, str):
        raise TypeError(f"quantity: expected a string, not {type(quantity).__name__}")
    values = _numbers("value", value)
    return _core._convert(values, quantity, _unit("from_unit", from_unit), _unit("to_unit", to_unit))


_PROCESS_DOC = """

    Points are mappings of "name", "flow" (dry-air mass flow in kg/s, lb/h in British, or in flow_unit),
    "temperature" and at most one humidity key named as in ``state`` ("relative_humidity", "dew_point",
    ...), values in the units of ``system`` as the main window shows them (C or F, %, ...). pressure or
    altitude (in pressure_unit / altitude_unit, the system's by default) applies to every point. name
    names the leaving point (the next letter by default).

    Returns what ``humidora-cli process --json`` writes: {"points": [P, ...], "result": P or None,
    "loads": {...}, "refusal": None or {"quantity", "text", "reason", "minimum", "maximum", "unit",
    "message", and "point" or "process"}}, each point P as {"name", "T_K", "W",
    "h_kJ_per_kg", "flow_kg_per_s", "texts"} with SI numbers at full precision and the window's texts.
    A refused process does not raise: its "refusal" says why.
    """


def _process(kind, points, parameters, name, pressure, altitude, method, system, pressure_unit, altitude_unit,
             flow_unit):
    if isinstance(points, Mapping) or not isinstance(points, Sequence) or isinstance(points, str):
        raise TypeError("points: expected a list of point mappings")
    for point in points:
        if not isinstance(point, Mapping):
            raise TypeError("points: expected mappings of name, flow, temperature and one humidity key")
    _options(method, system)
    pressure_unit, altitude_unit = (
        _unit("pressure_unit", pressure_unit, optional=True),
        _unit("altitude_unit", altitude_unit, optional=True),
    )
    given = {key.replace("_", "-"): value for key, value in parameters.items() if value is not None}
    return _core._process(kind, [dict(p) for p in points], given, name, pressure, altitude, method, system,
                          pressure_unit, altitude_unit, flow_unit)


def mix(points, *, name=None, pressure=None, altitude=None, method="iapws", system="metric",
        pressure_unit=None, altitude_unit=None, flow_unit=None):
    """Adiabatic mixing of two or more points, each with its flow."""
    return _process("mix", points, {}, name, pressure, altitude, method, system, pressure_unit, altitude_unit,
                    flow_unit)


def heat(point, *, to_temperature, name=None, pressure=None, altitude=None, method="iapws", system="metric",
         pressure_unit=None, altitude_unit=None, flow_unit=None):
    """Sensible heating or cooling of one point to the dry bulb to_temperature."""
    return _process("heat", [point], {"to_temperature": to_temperature}, name, pressure, altitude, method,
                    system, pressure_unit, altitude_unit, flow_unit)


def coil(point, *, adp=None, bypass_factor=None, leaving_temperature=None, leaving_relative_humidity=None,
         name=None, pressure=None, altitude=None, method="iapws", system="metric", pressure_unit=None,
         altitude_unit=None, flow_unit=None):
    """Cooling and dehumidifying coil: adp and bypass_factor, or leaving_temperature and
    leaving_relative_humidity."""
    return _process("coil", [point], {"adp": adp, "bypass_factor": bypass_factor,
                                      "leaving_temperature": leaving_temperature,
                                      "leaving_relative_humidity": leaving_relative_humidity},
                    name, pressure, altitude, method, system, pressure_unit, altitude_unit, flow_unit)


def evaporative(point, *, effectiveness=None, to_relative_humidity=None, name=None, pressure=None,
                altitude=None, method="iapws", system="metric", pressure_unit=None, altitude_unit=None,
                flow_unit=None):
    """Evaporative (adiabatic) humidifier: effectiveness (0..1) or to_relative_humidity."""
    return _process("evaporative", [point], {"effectiveness": effectiveness,
                                             "to_relative_humidity": to_relative_humidity},
                    name, pressure, altitude, method, system, pressure_unit, altitude_unit, flow_unit)


def steam(point, *, to_humidity_ratio=None, to_relative_humidity=None, steam_temperature=None, name=None,
          pressure=None, altitude=None, method="iapws", system="metric", pressure_unit=None,
          altitude_unit=None, flow_unit=None):
    """Steam humidifier: to_humidity_ratio or to_relative_humidity, with steam at steam_temperature
    (100 C by default)."""
    return _process("steam", [point], {"to_humidity_ratio": to_humidity_ratio,
                                       "to_relative_humidity": to_relative_humidity,
                                       "steam_temperature": steam_temperature},
                    name, pressure, altitude, method, system, pressure_unit, altitude_unit, flow_unit)


def supply(room, *, sensible_load=None, latent_load=None, total_load=None, sensible_heat_ratio=None,
           supply_temperature=None, supply_flow=None, name=None, pressure=None, altitude=None, method="iapws",
           system="metric", pressure_unit=None, altitude_unit=None, flow_unit=None):
    """Supply air that meets a room's loads (kW, btu/h in British): sensible_load and latent_load, or
    total_load and sensible_heat_ratio; at supply_temperature or at the dry-air flow supply_flow (kg/s, lb/h
    in British). The loads carry the apparatus dew point of the room's sensible-heat-ratio line and the
    supply's volume flow."""
    return _process("supply", [room], {"sensible_load": sensible_load, "latent_load": latent_load,
                                       "total_load": total_load, "sensible_heat_ratio": sensible_heat_ratio,
                                       "supply_temperature": supply_temperature, "supply_flow": supply_flow},
                    name, pressure, altitude, method, system, pressure_unit, altitude_unit, flow_unit)


def recovery(outdoor, exhaust, *, sensible_effectiveness, latent_effectiveness=None, name=None, pressure=None,
             altitude=None, method="iapws", system="metric", pressure_unit=None, altitude_unit=None,
             flow_unit=None):
    """Heat recovery between outdoor and exhaust air, each with its flow: sensible_effectiveness alone
    (plate exchanger, run-around coil) or with latent_effectiveness (enthalpy wheel). The answer's
    "exhaust_result" is the leaving exhaust air; the loads carry each side's condensate."""
    return _process("recovery", [outdoor, exhaust], {"sensible_effectiveness": sensible_effectiveness,
                                                     "latent_effectiveness": latent_effectiveness},
                    name, pressure, altitude, method, system, pressure_unit, altitude_unit, flow_unit)


for _function in (mix, heat, coil, evaporative, steam, supply, recovery):
    _function.__doc__ += _PROCESS_DOC
__all__ += ["mix", "heat", "coil", "evaporative", "steam", "supply", "recovery"]
