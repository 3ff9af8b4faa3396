from collections.abc import Mapping, Sequence
from typing import Any

import numpy as np
import numpy.typing as npt
import pandas as pd

_Numbers = float | int | npt.ArrayLike
_Column = str | float | int | npt.ArrayLike | None

QUANTITIES: tuple[str, ...]
HUMIDITY_PARAMETERS: tuple[str, ...]

def state(
    temperature: _Numbers,
    *,
    relative_humidity: _Numbers | None = ...,
    humidity_ratio: _Numbers | None = ...,
    dew_point: _Numbers | None = ...,
    wet_bulb: _Numbers | None = ...,
    absolute_humidity: _Numbers | None = ...,
    partial_pressure: _Numbers | None = ...,
    mole_fraction: _Numbers | None = ...,
    mass_fraction: _Numbers | None = ...,
    pressure: _Numbers | None = ...,
    altitude: _Numbers | None = ...,
    method: str = ...,
    system: str = ...,
    units: Mapping[str, str] | None = ...,
) -> dict[str, npt.NDArray[Any]]: ...
def frame(
    df: pd.DataFrame,
    temperature: _Column = ...,
    relative_humidity: _Column = ...,
    pressure: _Column = ...,
    columns: Sequence[str] | None = ...,
    *,
    humidity_ratio: _Column = ...,
    dew_point: _Column = ...,
    wet_bulb: _Column = ...,
    absolute_humidity: _Column = ...,
    partial_pressure: _Column = ...,
    mole_fraction: _Column = ...,
    mass_fraction: _Column = ...,
    altitude: _Column = ...,
    method: str = ...,
    system: str = ...,
    units: Mapping[str, str] | None = ...,
) -> pd.DataFrame: ...
def saturation_pressure(
    temperature: _Numbers, *, method: str = ..., temperature_unit: str = ..., pressure_unit: str = ...
) -> npt.NDArray[np.float64]: ...
def saturation_temperature(
    pressure: _Numbers, *, method: str = ..., pressure_unit: str = ..., temperature_unit: str = ...
) -> npt.NDArray[np.float64]: ...
def convert(value: _Numbers, quantity: str, from_unit: str, to_unit: str) -> npt.NDArray[np.float64]: ...

_Point = Mapping[str, str | float]
_Process = dict[str, Any]

def mix(points: Sequence[_Point], *, name: str | None = ..., pressure: float | None = ...,
        altitude: float | None = ..., method: str = ..., system: str = ..., pressure_unit: str | None = ...,
        altitude_unit: str | None = ..., flow_unit: str | None = ...) -> _Process: ...
def heat(point: _Point, *, to_temperature: float, name: str | None = ..., pressure: float | None = ...,
         altitude: float | None = ..., method: str = ..., system: str = ..., pressure_unit: str | None = ...,
         altitude_unit: str | None = ..., flow_unit: str | None = ...) -> _Process: ...
def coil(point: _Point, *, adp: float | None = ..., bypass_factor: float | None = ...,
         leaving_temperature: float | None = ..., leaving_relative_humidity: float | None = ...,
         name: str | None = ..., pressure: float | None = ..., altitude: float | None = ..., method: str = ...,
         system: str = ..., pressure_unit: str | None = ..., altitude_unit: str | None = ...,
         flow_unit: str | None = ...) -> _Process: ...
def evaporative(point: _Point, *, effectiveness: float | None = ..., to_relative_humidity: float | None = ...,
                name: str | None = ..., pressure: float | None = ..., altitude: float | None = ...,
                method: str = ..., system: str = ..., pressure_unit: str | None = ...,
                altitude_unit: str | None = ..., flow_unit: str | None = ...) -> _Process: ...
def steam(point: _Point, *, to_humidity_ratio: float | None = ..., to_relative_humidity: float | None = ...,
          steam_temperature: float | None = ..., name: str | None = ..., pressure: float | None = ...,
          altitude: float | None = ..., method: str = ..., system: str = ..., pressure_unit: str | None = ...,
          altitude_unit: str | None = ..., flow_unit: str | None = ...) -> _Process: ...
