#pragma once

// Why the last attempt of a request was not accepted: the transfer's own reasons (NoConnection
// and ConnectTimedOut: no connection was made at all; NoAnswer: a connection was made but the
// answer's head did not come within the time-out; TimedOut: the answer stalled later; Cut: the
// answer broke off before its end; TooSlow: the answer came slower than the speed floor), then
// those of the request's checks (NotPicture: a picture's body is of no picture format;
// Incomplete: it stops before its end).
enum class FetchFailure {
    None,
    Network,
    NoConnection,
    ConnectTimedOut,
    NoAnswer,
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
