#pragma once

// Why the last attempt of a request was not accepted: the transfer's own reasons (NoConnection
// and ConnectTimedOut: no connection was made at all; Cut: the answer broke off before its end;
// TooSlow: the answer came slower than the speed floor), then those of the request's checks
// (NotPicture: a picture's body is of no picture format; Incomplete: it stops before its end).
enum class FetchFailure {
    None,
    Network,
    NoConnection,
    ConnectTimedOut,
    TimedOut,
    TooSlow,
    Cut,
    Status,
    SizeLimit,
    Empty,
    NotPicture,
    Incomplete,
    WriteError,
    Aborted
};
