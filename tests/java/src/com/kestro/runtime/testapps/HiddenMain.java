package com.kestro.runtime.testapps;

/** A main class that is not public, as small applications often have. */
class HiddenMain {
    public static void main(String[] args) {
        Recorder.received = args;
    }
}
