package com.kestro.runtime.testapps;

/** Keeps the arguments its main received. */
public class Recorder {
    public static volatile String[] received;

    public static void main(String[] args) {
        received = args;
    }
}
