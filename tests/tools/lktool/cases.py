"""Runs lktool over a table of cases and compares exit code, standard output
(byte for byte) and a piece of standard error."""
import subprocess


def run_cases(command, cases):
    """cases: (arguments, exit code, stdout bytes, bytes stderr must contain).
    Prints each failure and a count; returns the process exit code."""
    failures = 0
    for arguments, code, out, err in cases:
        run = subprocess.run(command + arguments, capture_output=True, timeout=60)
        # Standard error is text: Windows ends its lines with CR LF.
        stderr = run.stderr.replace(b"\r\n", b"\n")
        if run.returncode != code or run.stdout != out or err not in stderr:
            failures += 1
            print(f"FAIL {arguments!r}: exit {run.returncode} (expected {code})")
            print(f"  stdout {run.stdout[:300]!r}\n  expected {out[:300]!r}\n  stderr {run.stderr!r}")
    print(f"{len(cases) - failures} of {len(cases)} cases passed")
    return 1 if failures else 0
